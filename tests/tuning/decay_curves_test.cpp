// Decay curves of synthetic bells whose levels, decay times and beats are known.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "bell_sounds.h"
#include "tuning/decay_curves.h"
#include "tuning/ideal_tuning.h"
#include "tuning/measured_span.h"

namespace {

using namespace bells;

struct Struck {
    std::vector<std::int16_t> samples;
    PartialTable table;
    TuningReport report;
};

// `silence` seconds of quiet before the strike, then `tones` for `seconds`.
Struck Strike(const std::vector<Tone>& tones, const std::vector<Tone>& named, double silence, double seconds,
              const Extras& extras = {}) {
    Struck s;
    const auto lead = static_cast<std::size_t>(silence * kRate);
    s.samples.assign(lead, 0);
    const std::vector<std::int16_t> ring = Synthesize(tones, 4.0, 11, static_cast<int>(seconds * kRate), extras);
    s.samples.insert(s.samples.end(), ring.begin(), ring.end());
    s.table = TableOf(named);
    s.report = MakeTuningReport(s.samples.data(), static_cast<std::int32_t>(s.samples.size()), kRate, 0.5, s.table,
                                JustTuning());
    return s;
}

std::vector<DecayCurve> Curves(const Struck& s) {
    return MakeDecayCurves(s.samples.data(), static_cast<std::int32_t>(s.samples.size()), kRate, s.report, s.table);
}

TEST(DecayCurves, KnownDecayFallsAtItsSlopeAndTheLineFollowsIt) {
    // A hum that lasts and a nominal falling 60 dB in 3 s, struck after 0.3 s of quiet.
    const std::vector<Tone> tones = {{250.0, 6000, 12.0, kHum}, {500.0, 16000, 3.0, kNominal}};
    const Struck s = Strike(tones, tones, 0.3, 2.5);
    const std::vector<DecayCurve> curves = Curves(s);
    ASSERT_EQ(curves.size(), 2u);
    const DecayCurve& nominal = curves[1];
    EXPECT_EQ(nominal.partialIndex, kNominal);
    EXPECT_EQ(nominal.name, "nominal");
    EXPECT_NEAR(nominal.strikeSeconds, 0.3, 128.0 / kRate);
    ASSERT_TRUE(nominal.fitted && nominal.t60Seconds.has_value());
    EXPECT_NEAR(*nominal.t60Seconds, 3.0, 0.06);
    EXPECT_EQ(nominal.t60Seconds, s.report.partials[1].t60Seconds);
    EXPECT_NEAR(nominal.lineSlopeDbPerSecond, -20.0, 0.4);
    EXPECT_NEAR(nominal.LineDbAt(nominal.strikeSeconds), 20.0 * std::log10(16000.0 / 32768.0), 0.2);
    EXPECT_NEAR(curves[0].lineSlopeDbPerSecond, -5.0, 0.2);
    EXPECT_GT(nominal.noiseDb, -150.0);
    EXPECT_LT(nominal.noiseDb, nominal.LineDbAt(nominal.lineToSeconds) - 20.0);

    // The points: at most 10 ms apart, from once the 25 Hz band's filter has settled after the strike (1.5 / 25 s)
    // on, and the level over the fitted range within a fifth of a dB of both the line and the tone's own decay.
    ASSERT_GT(nominal.timesSeconds.size(), 200u);
    EXPECT_NEAR(nominal.timesSeconds.front() - nominal.strikeSeconds, 0.06, 0.01);
    EXPECT_NEAR(nominal.timesSeconds.back(), 2.8 - 0.06, 0.01);
    EXPECT_GT(nominal.lineToSeconds - nominal.lineFromSeconds, 2.0);
    int checked = 0;
    for (std::size_t i = 0; i < nominal.timesSeconds.size(); ++i) {
        const double t = nominal.timesSeconds[i];
        if (i > 0) {
            EXPECT_LE(t - nominal.timesSeconds[i - 1], kDecayPointSeconds + 1e-9);
        }
        if (t < nominal.lineFromSeconds || t > nominal.lineToSeconds) continue;
        const double truth = 20.0 * std::log10(16000.0 / 32768.0) - 20.0 * (t - 0.3);
        EXPECT_NEAR(nominal.levelsDb[i], nominal.LineDbAt(t), 0.2) << t;
        EXPECT_NEAR(nominal.levelsDb[i], truth, 0.3) << t;
        ++checked;
    }
    EXPECT_GT(checked, 150);

    // One partial alone is the same curve; one the report lacks is none, and so is a report of another table.
    const auto one = MakeDecayCurve(s.samples.data(), static_cast<std::int32_t>(s.samples.size()), kRate, s.report,
                                    s.table, kNominal);
    ASSERT_TRUE(one.has_value());
    EXPECT_EQ(one->levelsDb, nominal.levelsDb);
    EXPECT_FALSE(MakeDecayCurve(s.samples.data(), static_cast<std::int32_t>(s.samples.size()), kRate, s.report,
                                s.table, kTierce));
    EXPECT_TRUE(MakeDecayCurves(s.samples.data(), static_cast<std::int32_t>(s.samples.size()), kRate, s.report,
                                TableOf({tones[1]})).empty());
}

TEST(DecayCurves, DoubletBeatingAtOneHertzSwingsOnceASecond) {
    // 500 and 501 Hz at 2 : 1 decaying alike: the level swings between 3 and 1 times the weaker, 9.5 dB, every
    // second, around the common decay.
    const Tone nominal{500.0, 12000, 8.0, kNominal, 0.0};
    const Struck s = Strike({nominal, {501.0, 6000, 8.0, NoPartial, 0.0}}, {nominal}, 0.2, 5.0);
    const std::vector<DecayCurve> curves = Curves(s);
    ASSERT_EQ(curves.size(), 1u);
    const DecayCurve& c = curves[0];
    std::vector<double> peaks, swings;
    double low = 1e9, high = -1e9;
    for (std::size_t i = 1; i + 1 < c.levelsDb.size(); ++i) {  // the filter has settled at every point
        const double t = c.timesSeconds[i];
        const double level = c.levelsDb[i] + 7.5 * (t - c.strikeSeconds);  // the common decay taken out
        low = std::min(low, level);
        high = std::max(high, level);
        if (c.levelsDb[i] > c.levelsDb[i - 1] && c.levelsDb[i] >= c.levelsDb[i + 1]) peaks.push_back(t);
    }
    EXPECT_NEAR(high - low, 20.0 * std::log10(3.0), 0.5);
    ASSERT_GE(peaks.size(), 3u);
    for (std::size_t i = 1; i < peaks.size(); ++i) EXPECT_NEAR(peaks[i] - peaks[i - 1], 1.0, 0.05);  // values 46 ms apart
}

TEST(DecayCurves, SecondStrikeEndsTheCurveWhereTheReportSaysItCame) {
    Extras again;
    again.secondStrikeSeconds = 1.4;
    const std::vector<Tone> tones = {{500.0, 12000, 4.0, kNominal}};
    const Struck s = Strike(tones, tones, 0.1, 3.0, again);
    const MeasuredSpan span = FindMeasuredSpan(s.samples.data(), static_cast<std::int32_t>(s.samples.size()), kRate);
    EXPECT_NEAR(span.secondStrike / kRate, 1.5, 2048.0 / kRate);
    EXPECT_LE(span.secondStrike / kRate, 1.5);
    ASSERT_EQ(s.report.warnings.size(), 1u);
    EXPECT_EQ(s.report.warnings[0].code, kWarnSecondStrike);
    const std::vector<DecayCurve> curves = Curves(s);
    ASSERT_EQ(curves.size(), 1u);
    EXPECT_LT(curves[0].timesSeconds.back(), span.secondStrike / kRate);
    EXPECT_LT(curves[0].lineToSeconds, span.secondStrike / kRate);
}

}  // namespace
