// The tuning report on sounds with known answers: sums of exponentially decaying sines at known frequencies,
// levels and T60s, plus white noise at a known level.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "bell_sounds.h"
#include "partials/partial_table.h"
#include "tuning/ideal_tuning.h"
#include "tuning/local_transform.h"
#include "tuning/partial_decay.h"
#include "tuning/reference_tone.h"
#include "tuning/strike_average.h"
#include "tuning/tuning_report.h"
#include "tuning/tuning_text.h"

namespace {

using namespace bells;

// The windowed transform summed directly in long double: the slow, obviously right reference for the block moments.
std::complex<double> DirectTransform(const std::vector<std::int16_t>& x, double hz) {
    const long double n = x.size(), pi = std::numbers::pi_v<long double>;
    std::complex<long double> sum;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const long double w = 0.5L - 0.5L * std::cos(2 * pi * (i + 0.5L) / n);
        sum += w * x[i] * std::polar(1.0L, -2 * pi * hz * i / kRate);
    }
    return {static_cast<double>(sum.real()), static_cast<double>(sum.imag())};
}

double CentsOff(double measured, double truth) {
    return 1200.0 * std::log2(measured / truth);
}

TuningReport Report(const std::vector<Tone>& tones, double noiseRms, unsigned seed,
                    int count = 88200, const IdealTuning& ideal = JustTuning()) {
    const std::vector<std::int16_t> x = Synthesize(tones, noiseRms, seed, count);
    return MakeTuningReport(x.data(), count, kRate, 0.5, TableOf(tones), ideal);
}

TEST(LocalTransform, MatchesTheDirectSumNearItsCentre) {
    const std::vector<std::int16_t> x = Synthesize({{523.3, 9000, 4}, {561.0, 3000, 9}}, 20, 1, 22050);
    LocalTransform transform(HannWindowed(x.data(), static_cast<std::int32_t>(x.size())), kRate);
    transform.Centre(523.0);
    for (double hz : {523.0, 523.37, 521.9, 538.0}) {
        SCOPED_TRACE(hz);
        const std::complex<double> direct = DirectTransform(x, hz);
        EXPECT_LT(std::abs(transform.At(hz) - direct), 2e-5 * std::abs(DirectTransform(x, 523.3)));
    }
}

TEST(TuningReport, PreciseFrequencyBetweenSpectrumPoints) {
    // The nominal moved across one spectrum interval: every partial within 0.01 cent at 60 dB signal to noise.
    for (double offset : {0.0, 0.1, 0.25, 0.37, 0.49}) {
        SCOPED_TRACE(offset);
        const double nominal = 500.0 + offset;
        const std::vector<Tone> tones = {{nominal / 4.02, 4000, 40, kHum},   {nominal / 2.01, 6000, 20, kPrime},
                                         {nominal * 0.597, 5000, 12, kTierce}, {nominal, 10000, 8, kNominal},
                                         {nominal * 2.01, 3000, 3, kOctave}};
        const TuningReport report = Report(tones, 10000 * 1e-3, 7);
        ASSERT_EQ(report.partials.size(), tones.size());
        for (std::size_t i = 0; i < tones.size(); ++i) {
            EXPECT_LT(std::abs(CentsOff(report.partials[i].frequencyHz, tones[i].hz)), 0.01) << tones[i].hz;
            EXPECT_EQ(report.partials[i].partialIndex, tones[i].partial);
        }
    }
}

TEST(TuningReport, UncertaintyCoversTheErrorAndGrowsWithNoiseAndShortness) {
    // Weak partials in strong noise: the error lies within three stated deviations in 90 % of cases; ten times the
    // noise states ten times the uncertainty, a quarter of the length more (not eightfold: this tone decays).
    struct { double noise; int count; double meanSigma = 0.0; } batches[] = {{300, 88200}, {3000, 88200}, {300, 22050}};
    for (auto& batch : batches) {
        SCOPED_TRACE(batch.noise + batch.count);
        int covered = 0;
        for (unsigned seed = 0; seed < 30; ++seed) {
            const double hz = 400.0 + 0.137 * seed;
            const TunedPartial p = Report({{hz, 1000, 6, kNominal}}, batch.noise, seed + 100, batch.count).partials.at(0);
            covered += std::abs(p.frequencyHz - hz) <= 3.0 * p.uncertaintyHz;
            batch.meanSigma += p.uncertaintyHz / 30.0;
        }
        EXPECT_GE(covered, 27);
    }
    EXPECT_NEAR(batches[1].meanSigma / batches[0].meanSigma, 10.0, 3.0);
    EXPECT_GT(batches[2].meanSigma / batches[0].meanSigma, 2.0);
}

TEST(TuningReport, DecayTimes) {
    // Beside a louder partial 50 Hz away; one lost in the noise has none.
    for (double t60 : {2.0, 10.0, 60.0}) {
        SCOPED_TRACE(t60);
        const TuningReport report = Report({{450.0, 8000, t60, kPrime}, {500.0, 16000, 5, kNominal}}, 8, 3);
        ASSERT_TRUE(report.partials.at(0).t60Seconds.has_value());
        EXPECT_NEAR(*report.partials[0].t60Seconds / t60, 1.0, 0.02);
        // The levels at the strike: 8000 and 16000 of 32768.
        EXPECT_NEAR(report.partials[0].levelDb.value_or(0.0), 20.0 * std::log10(8000.0 / 32768.0), 0.1);
        EXPECT_NEAR(report.partials[1].levelDb.value_or(0.0), 20.0 * std::log10(16000.0 / 32768.0), 0.1);
    }
    EXPECT_FALSE(Report({{250.0, 5, 10, kPrime}, {500.0, 8000, 5, kNominal}}, 300, 4).partials[0].t60Seconds);
}

TEST(PartialDecay, CleanDecayGivesT60ABendDoesNot) {
    // Envelopes made by hand, 2 s at 100 values a second, with a noise far below them: one exponential, and
    // the same with a slow second stage 26 dB down whose phase stays straight.
    const auto envelope = [](double secondStage) {
        PartialEnvelope e;
        for (int m = 0; m < 200; ++m) {
            const double t = m / 100.0;
            e.values.emplace_back(1000.0 * std::exp(-std::log(1000.0) * t / 1.5) + secondStage * std::exp(-0.1 * t));
        }
        e.rateHz = 100.0, e.unitNoiseVariance = 1e-6, e.independentRateHz = 50.0, e.settleSeconds = 0.05, e.usable = 200;
        return e;
    };
    const PartialDecay clean = MeasureDecay(envelope(0.0), 1.0, 2.0), bent = MeasureDecay(envelope(50.0), 1.0, 2.0);
    ASSERT_TRUE(clean.t60Seconds.has_value());
    EXPECT_NEAR(*clean.t60Seconds, 1.5, 0.01);
    EXPECT_FALSE(clean.irregular);
    EXPECT_TRUE(bent.fitted && bent.irregular && !bent.t60Seconds) << bent.t60Seconds.value_or(-1);
}

TEST(TuningReport, DoubletsAndStrongNeighbours) {
    const TuningReport split =
        Report({{500.0, 8000, 8, kNominal}, {503.5, 4000, 8}, {250.0, 4000, 10, kPrime}}, 8, 5);
    ASSERT_TRUE(split.partials.at(1).doublet.has_value());
    EXPECT_NEAR(split.partials[1].frequencyHz, 500.0, 0.01);
    EXPECT_NEAR(split.partials[1].doublet->frequencyHz, 503.5, 0.01);
    EXPECT_NEAR(split.partials[1].doublet->relativeAmplitude, 0.5, 0.03);
    EXPECT_FALSE(split.partials[0].doublet.has_value());

    const TuningReport neighbour = Report({{500.0, 2000, 8, kNominal}, {540.0, 30000, 8}}, 8, 6);
    EXPECT_FALSE(neighbour.partials.at(0).doublet.has_value());
}

TEST(TuningReport, StrikeAndIdeals) {
    const std::vector<Tone> harmonic = {{125, 3000, 30, kHum},       {250, 3000, 20, kPrime},
                                        {300, 3000, 10, kTierce},    {375, 2000, 8, kQuint},
                                        {500, 8000, 8, kNominal},    {750, 3000, 4, kSuperquint},
                                        {1000, 2000, 3, kOctave}};
    for (const IdealTuning& ideal : {JustTuning(), TemperedTuning()}) {
        SCOPED_TRACE(ideal.name);
        const TuningReport report = Report(harmonic, 3, 9, 88200, ideal);
        ASSERT_TRUE(report.strike.has_value());
        EXPECT_NEAR(report.strike->frequencyHz, 250.0, 0.001);
        EXPECT_NEAR(report.strike->cents, -1200.0, 0.01);
        EXPECT_EQ(report.strike->note, "B(0) +21");  // B is 246.94 Hz
        for (const TunedPartial& p : report.partials) {
            // A true-harmonic bell: no deviation from just intonation; the
            // tempered ideal moves the tierce, quint and superquint only.
            const double expected = ideal.name == "just" ? 0.0
                                    : p.partialIndex == kTierce   ? 1200.0 * std::log2(0.6) + 900.0
                                    : p.partialIndex == kQuint    ? 1200.0 * std::log2(0.75) + 500.0
                                    : p.partialIndex == kSuperquint ? 1200.0 * std::log2(1.5) - 700.0
                                                                  : 0.0;
            EXPECT_NEAR(p.deviationCents.value(), expected, 0.01) << p.name;
        }
    }
    EXPECT_NEAR(EstimateStrike(500.0, 0.0, 0.0)->frequencyHz, 250.0, 1e-12);
    // Fewer than 1024 samples measure nothing; 1024 do.
    const auto measured = [](int count) { return Report({{500, 8000, 8, kNominal}}, 3, 1, count).partials.size(); };
    EXPECT_EQ(std::pair(measured(1023), measured(1024)), std::pair(std::size_t{0}, std::size_t{1}));
    EXPECT_FALSE(EstimateStrike(0.0, 750.0, 1000.0).has_value());
    // Digital silence where the table names a partial: an uncertainty all the same, never 0 or infinite.
    const double silent = Report({{500, 0, 8, kNominal}}, 0, 1).partials.at(0).uncertaintyHz;
    EXPECT_TRUE(silent > 0.0 && std::isfinite(silent)) << silent;
    // Shown to two digits of the uncertainty; without one, to three decimals and "?".
    EXPECT_EQ(FrequencyWithUncertainty(640.1234, 0.0012, "+-"), "640.1234 +- 0.0012");
    for (double none : {0.0, -1.0, double{INFINITY}, double{NAN}}) EXPECT_EQ(FrequencyWithUncertainty(640.1234, none, "+-"), "640.123 +- ?");
}

// Three strikes give exact means and sample deviations, also of values far above their spread; a strike 60 cents
// off the mean nominal and one without a nominal are left out and counted; after Reset any first strike counts.
TEST(StrikeAverage, MeansSpreadsAndOutliers) {
    const auto strike = [](double nominalHz, double tierceHz, double tierceCents, double humHz) {
        const auto row = [](std::int16_t index, double hz, std::optional<double> cents) {
            return TunedPartial{index, "", hz, 0.0, 0.0, {}, cents, {}, {}, "", {}};
        };
        // Only a report's first row of a name counts.
        TuningReport report;
        report.partials = {row(kHum, humHz, {}), row(kTierce, tierceHz, tierceCents), row(kNominal, nominalHz, {}),
                           row(kNominal, 1e6, {})};
        return report;
    };
    StrikeAverage average;
    for (const auto& [nominal, tierce, cents, hum] : std::vector<std::array<double, 4>>{
             {500, 300, -1, 1e8 + 1}, {501, 300.5, 1, 1e8 + 2}, {502, 301, 3, 1e8 + 3}}) {
        EXPECT_TRUE(average.Add(strike(nominal, tierce, cents, hum)));
    }
    EXPECT_FALSE(average.Add(strike(501 * std::exp2(60.0 / 1200), 300, 50, 0)));
    EXPECT_FALSE(average.Add(TuningReport{}));
    const PartialAverage &n = average.partial(kNominal), &t = average.partial(kTierce), &h = average.partial(kHum);
    EXPECT_EQ(std::tuple(average.accepted(), average.rejected(), n.frequencyHz.count, n.deviationCents.count, t.deviationCents.count),
              std::tuple(3, 2, 3, 0, 3));
    const auto meanAndSpread = [](const RunningStatistic& s) { return std::pair(s.mean, s.StandardDeviation()); };
    EXPECT_EQ(std::tuple(meanAndSpread(n.frequencyHz), meanAndSpread(t.frequencyHz), meanAndSpread(t.deviationCents),
                         meanAndSpread(h.frequencyHz)),
              std::tuple(std::pair(501.0, 1.0), std::pair(300.5, 0.5), std::pair(1.0, 2.0), std::pair(1e8 + 2, 1.0)));
    EXPECT_EQ(std::pair(average.partial(7).frequencyHz.count, average.partial(-1).frequencyHz.count), std::pair(0, 0));
    average.Reset();
    EXPECT_EQ(std::tuple(average.accepted(), average.rejected(), average.partial(kNominal).frequencyHz.count), std::tuple(0, 0, 0));
    EXPECT_TRUE(average.Add(strike(700, 420, 0, 175)));
    EXPECT_EQ(meanAndSpread(average.partial(kTierce).frequencyHz), std::pair(420.0, 0.0));
}

TEST(IdealTuning, FounderFile) {
    IdealTuning ideal;
    std::int16_t code = 0;
    int line = -1;
    ASSERT_TRUE(ParseIdealTuning("# Taylor-style\n hum , -2400\nprime,-1195.5 # a little sharp\n\noct. nom.,1200\r\n",
                                 "founder.txt", ideal, code, line));
    EXPECT_EQ(ideal.name, "founder.txt");
    EXPECT_EQ(ideal.centsByPartial[0], -2400.0);
    EXPECT_EQ(ideal.centsByPartial[1], -1195.5);
    EXPECT_EQ(ideal.centsByPartial[5], 1200.0);
    EXPECT_FALSE(ideal.centsByPartial[3].has_value());

    struct Bad {
        const char* text;
        std::int16_t code;
        int line;
    };
    for (const Bad& bad : {Bad{"hum,-2400\nprime -1200\n", kIdealLineNoComma, 2},
                           Bad{"hum,-2400\n\nfifth,700\n", kIdealUnknownPartial, 3},
                           Bad{"tierce,-900 cents\n", kIdealBadCents, 1},
                           Bad{"tierce,nan\n", kIdealBadCents, 1},
                           Bad{"quint,-500\nquint,-498\n", kIdealDuplicate, 2},
                           Bad{"# nothing\n\n", kIdealEmpty, 0}}) {
        SCOPED_TRACE(bad.text);
        IdealTuning kept = JustTuning();
        EXPECT_FALSE(ParseIdealTuning(bad.text, "bad.txt", kept, code, line));
        EXPECT_EQ(code, bad.code);
        EXPECT_EQ(line, bad.line);
        EXPECT_EQ(kept.name, "just");
    }
    EXPECT_FALSE(ReadIdealTuning("/dev/zero", ideal, code, line));
    EXPECT_EQ(code, kIdealFileUnreadable);
}

// A laptop that reads a 600 Hz fork as 599.7 Hz: 3 s of the steady tone in noise give the speed adjustment
// 600 / 599.7 within 2e-6; a tone outside 5 % of the reference, silence and too few samples are refused.
TEST(ReferenceTone, SpeedAdjustFromASteadyTone) {
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0.0, 30.0);
    std::vector<std::int16_t> tone(3 * 44100), far(tone.size()), silence(tone.size(), 0);
    for (std::size_t i = 0; i < tone.size(); ++i) {
        const double t = static_cast<double>(i) / 44100.0;
        tone[i] = static_cast<std::int16_t>(std::lround(8000.0 * std::sin(2.0 * std::numbers::pi * 599.7 * t + 0.3) + noise(random)));
        far[i] = static_cast<std::int16_t>(std::lround(8000.0 * std::sin(2.0 * std::numbers::pi * 640.0 * t)));
    }
    ToneMeasurement m;
    ASSERT_EQ(MeasureReferenceTone(tone.data(), 3 * 44100, 44100.0, 600.0, m), kToneMeasured);
    EXPECT_NEAR(m.speedAdjust, 600.0 / 599.7, 2e-6);
    EXPECT_TRUE(m.uncertaintyHz > 0.0 && m.uncertaintyHz < 1e-3 && std::abs(m.measuredHz - 599.7) < 3.0 * m.uncertaintyHz + 1e-6)
        << m.measuredHz << " +- " << m.uncertaintyHz;
    EXPECT_EQ(MeasureReferenceTone(far.data(), 3 * 44100, 44100.0, 600.0, m), kToneNotFound);
    EXPECT_EQ(MeasureReferenceTone(silence.data(), 3 * 44100, 44100.0, 600.0, m), kToneNotFound);
    EXPECT_EQ(MeasureReferenceTone(tone.data(), 1000, 44100.0, 600.0, m), kToneTooShort);
}

}  // namespace
