#include "tuning/tuning_report.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "partials/partial_table.h"
#include "tuning/doublet_search.h"
#include "tuning/envelope_band.h"
#include "tuning/frequency_uncertainty.h"
#include "tuning/local_transform.h"
#include "tuning/measured_span.h"
#include "tuning/partial_decay.h"
#include "tuning/recording_spectra.h"
#include "tuning/tuning_text.h"

namespace {

constexpr std::int16_t kNominal = IndexOf(Partial::Nominal), kSuperquint = IndexOf(Partial::Superquint),
                       kOctaveNominal = IndexOf(Partial::OctaveNominal);

double CentsBetween(double hz, double referenceHz) {
    return 1200.0 * std::log2(hz / referenceHz);
}

// What a report is measured on, shared by its partials.
struct Recording {
    const RecordingSpectra& spectra;
    LocalTransform& transform;
    double rateHz;
    std::int32_t length;
    double endSeconds;  // where the decay must stop: the end or a second strike
};

// What a partial's measurement found that the report's warnings mention.
struct Findings {
    bool irregular = false;   // its level beats or bends
    bool unresolved = false;  // a companion too close to resolve pulls it
};

// The peak nearest the table's row: the best grid point within `reach`,
// refined on the exact transform.
double PreciseFrequency(const Recording& r, double rowHz, double reach) {
    const double binHz = r.spectra.BinHz();
    const auto first = static_cast<std::int32_t>(std::max(1.0, std::ceil((rowHz - reach) / binHz)));
    const auto last = static_cast<std::int32_t>(std::min<double>(r.spectra.Bins() - 1, (rowHz + reach) / binHz));
    std::int32_t best = std::min(first, last);
    for (std::int32_t k = first; k <= last; ++k) {
        if (r.spectra.HannPower(k) > r.spectra.HannPower(best)) best = k;
    }
    const double gridHz = best * binHz;
    r.transform.Centre(gridHz);
    return r.transform.PeakIn(gridHz - binHz, gridHz + binHz);
}

// The partial's amplitude (sample units) at every envelope value: the
// fitted decay where it holds (extrapolated to the strike, and on past the
// fit unless the bell was struck again), otherwise what the envelope shows
// above the noise.
std::vector<double> AmplitudeOverTime(const PartialEnvelope& envelope, const PartialDecay& decay, double noise,
                                      bool struckAgain) {
    std::vector<double> amplitude(envelope.values.size(), 0.0);
    for (std::size_t m = 0; m < amplitude.size(); ++m) {
        const double t = m / envelope.rateHz;
        if (decay.fitted && (!struckAgain || t <= decay.toSeconds)) {
            amplitude[m] = 2.0 * std::exp(decay.logStart + decay.slope * t);
        } else if (std::norm(envelope.values[m]) >= 4.0 * noise) {
            amplitude[m] = 2.0 * std::abs(envelope.values[m]);
        }
    }
    return amplitude;
}

// The noise per sample at each envelope value: the floor measured between
// the partials, raised where the recording is noisier than at its end (a
// strike's transient: loud noise at the start, where a small window still
// gives it a long lever on the peak).
std::vector<double> NoiseOverTime(const PartialEnvelope& envelope, const RecordingSpectra& spectra,
                                  double noiseVariance) {
    std::vector<double> noise(envelope.values.size(), noiseVariance);
    for (std::size_t m = 0; m < noise.size(); ++m) noise[m] *= spectra.NoiseFactorAt(m / envelope.rateHz);
    return noise;
}

// One standard deviation of the partial's precise frequency: the noise's
// part and the part one decaying component cannot explain. Drops T60 when
// that misfit could bend the decay's slope by more than a tenth.
double Uncertainty(const Recording& r, const PartialEnvelope& envelope, const PartialDecay& decay,
                   double noiseVariance, double peak, TunedPartial& partial, Findings& findings) {
    const double noise = noiseVariance * envelope.unitNoiseVariance;
    std::vector<double> amplitude = AmplitudeOverTime(envelope, decay, noise, r.endSeconds < r.length / r.rateHz);
    const std::vector<double> noiseOverTime = NoiseOverTime(envelope, r.spectra, noiseVariance);
    double noisePart = NoiseUncertainty(envelope, amplitude, noiseOverTime, r.length, r.rateHz);
    if (!std::isfinite(noisePart)) {
        // Too weak for an envelope: take it as steady at its peak's level.
        amplitude.assign(amplitude.size(), 4.0 * peak / static_cast<double>(r.length));
        noisePart = NoiseUncertainty(envelope, amplitude, noiseOverTime, r.length, r.rateHz);
    }
    // Nothing there at all (digital silence): the peak is known to its width.
    if (!std::isfinite(noisePart)) noisePart = r.spectra.ResolutionHz();
    // Where the decay was fitted, its stretch (after the strike's transient);
    // otherwise all the envelope can be trusted over. A settling time more
    // at each end: the filter's tails still carry a little of every
    // neighbour's abrupt start and end, which the peak search's window all
    // but shuts out.
    const double from = (decay.fitted ? decay.fromSeconds : envelope.settleSeconds) + envelope.settleSeconds;
    const double to = (decay.fitted ? decay.toSeconds
                                    : std::min(r.endSeconds, envelope.usable / envelope.rateHz) - envelope.settleSeconds) -
                      envelope.settleSeconds;
    const Misfit misfit = MeasureMisfit(envelope, noiseVariance, from, to, r.length, r.rateHz);
    // A companion that pulls the phase can hold the level straight while
    // it bends the slope all the same.
    if (partial.t60Seconds && misfit.slowRms / misfit.timeSpread > 0.1 * std::abs(decay.slope)) {
        partial.t60Seconds.reset();
        findings.irregular = true;
    }
    // A companion's pull worth a tuner's notice: beyond the noise and a tenth of a cent.
    const double tenthOfACent = partial.frequencyHz * (std::exp2(0.1 / 1200.0) - 1.0);
    findings.unresolved = misfit.uncertaintyHz > 3.0 * noisePart && misfit.uncertaintyHz > tenthOfACent;
    // Never below the precision the peak is sought to.
    constexpr double kSearchPrecisionHz = 1e-7;
    return std::sqrt(noisePart * noisePart + misfit.uncertaintyHz * misfit.uncertaintyHz +
                     kSearchPrecisionHz * kSearchPrecisionHz);
}

// dB below full scale of the partial's amplitude at the strike (the
// envelope's first value): where the decay is fitted its line there,
// otherwise the largest value the filter has settled for. Empty for an
// envelope that holds nothing.
std::optional<double> LevelAtStrike(const PartialEnvelope& envelope, const PartialDecay& decay) {
    double amplitude = 0.0;  // a value is half the amplitude
    if (decay.fitted) {
        amplitude = 2.0 * std::exp(decay.logStart);
    } else {
        const auto first = static_cast<std::size_t>(envelope.settleSeconds * envelope.rateHz);
        const auto end = std::min(envelope.values.size(), static_cast<std::size_t>(std::max(envelope.usable, 0)));
        for (std::size_t m = first; m < end; ++m) amplitude = std::max(amplitude, 2.0 * std::abs(envelope.values[m]));
    }
    if (!(amplitude > 0.0) || !std::isfinite(amplitude)) return std::nullopt;
    return 20.0 * std::log10(amplitude / 32768.0);
}

TunedPartial MeasurePartial(const Recording& r, const PartialTable& table, int row, double searchHz,
                            Findings& findings) {
    TunedPartial partial;
    partial.partialIndex = table.partialIndex[row];
    partial.name = table.partialNames[static_cast<std::size_t>(partial.partialIndex)];
    const double resolution = r.spectra.ResolutionHz();
    // Over more than 2 s the table's row (from the first 2 s) can lie up to
    // a few tenths of a hertz from either of two components it merges.
    double reach = std::max(searchHz, resolution);
    if (r.length > 2 * static_cast<std::int32_t>(r.rateHz)) reach = std::max(reach, 1.0);
    partial.frequencyHz = PreciseFrequency(r, table.frequency[row], reach);
    const double peak = r.transform.Magnitude(partial.frequencyHz);

    const double noiseVariance = PartialNoiseVariance(r.spectra, table, partial.frequencyHz);
    partial.doublet = FindDoublet(r.spectra, r.transform, partial.frequencyHz, peak, noiseVariance);

    const double bandHz = EnvelopeBandHz(table, row, partial.frequencyHz, partial.doublet, resolution);
    const PartialEnvelope envelope = r.spectra.Envelope(partial.frequencyHz, bandHz);
    const PartialDecay decay = MeasureDecay(envelope, noiseVariance, r.endSeconds);
    partial.t60Seconds = decay.t60Seconds;
    partial.levelDb = LevelAtStrike(envelope, decay);
    if (partial.doublet && partial.levelDb && partial.doublet->relativeAmplitude > 0.0) {
        partial.doublet->levelDb = *partial.levelDb + 20.0 * std::log10(partial.doublet->relativeAmplitude);
    }
    findings.irregular = decay.irregular;
    partial.uncertaintyHz = Uncertainty(r, envelope, decay, noiseVariance, peak, partial, findings);
    partial.note = NoteName(partial.frequencyHz);
    return partial;
}

}  // namespace

std::optional<StrikeNote> EstimateStrike(double nominalHz, double superquintHz, double octaveHz) {
    if (!(nominalHz > 0.0)) return std::nullopt;
    // The mean of log2(f_k / k) over the named harmonics k = 2, 3, 4: each
    // partial an equal say in cents, as the ear weighs them.
    const double given[3] = {nominalHz, superquintHz, octaveHz};
    StrikeNote strike;
    double logSum = 0.0;
    for (int i = 0; i < 3; ++i) {
        if (!(given[i] > 0.0)) continue;
        logSum += std::log2(given[i] / (i + 2));
        strike.from.emplace_back(NameOf(static_cast<Partial>(kNominal + i)));
    }
    strike.frequencyHz = std::exp2(logSum / static_cast<double>(strike.from.size()));
    strike.note = NoteName(strike.frequencyHz);
    strike.cents = CentsBetween(strike.frequencyHz, nominalHz);
    return strike;
}

namespace {

// The strike note, and each partial's cents (when measured) and deviation
// from the ideal, all against the nominal in harmonic[0].
void FinishReport(TuningReport& report, const IdealTuning& ideal, const double harmonic[3], bool measuredCents) {
    report.strike = EstimateStrike(harmonic[0], harmonic[1], harmonic[2]);
    for (TunedPartial& p : report.partials) {
        if (measuredCents && harmonic[0] > 0.0) p.cents = CentsBetween(p.frequencyHz, harmonic[0]);
    }
    ApplyIdeal(report, ideal);
}

}  // namespace

std::int32_t CountClippedSamples(const std::int16_t* samples, std::int32_t count) {
    std::int32_t clipped = 0;
    for (std::int32_t i = 0; samples != nullptr && i < count; ++i) {
        clipped += samples[i] == 32767 || samples[i] == -32768;
    }
    return clipped;
}

namespace {

std::string NameList(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) out += (out.empty() ? "" : ", ") + name;
    return out;
}

void WarnAboutPartials(TuningReport& report, const std::vector<std::string>& irregular,
                       const std::vector<std::string>& unresolved) {
    if (!irregular.empty()) {
        report.warnings.push_back({kWarnBeats, "the level of " + NameList(irregular) +
                                                   " beats or bends (a companion too close to resolve, or a "
                                                   "two-stage decay): no T60"});
    }
    if (!unresolved.empty()) {
        report.warnings.push_back({kWarnUnresolved, "a companion too close to resolve pulls " + NameList(unresolved) +
                                                        "; the uncertainty allows for it"});
    }
}

}  // namespace

TuningReport MakeTuningReport(const std::int16_t* samples, std::int32_t count, double rateHz,
                              double searchHz, const PartialTable& table, const IdealTuning& ideal,
                              const RecordingFacts& facts) {
    TuningReport report;
    report.idealName = ideal.name;
    report.clippedSamples = facts.clippedSamples;
    if (facts.clippedSamples > 0) {
        report.warnings.push_back({kWarnClipped, std::to_string(facts.clippedSamples) +
                                                     " samples are clipped at full scale: clipping adds false "
                                                     "peaks and doublets"});
    }
    if (facts.paddedSamples > 0 && rateHz > 0.0) {
        report.warnings.push_back({kWarnPadded, "the file ended " + FixedText(facts.paddedSamples / rateHz, 3) +
                                                    " s before the recording was complete; only what it holds is "
                                                    "measured"});
        count -= std::min(count, facts.paddedSamples);
    }
    if (samples == nullptr || count < 1024 || !(rateHz > 0.0)) return report;
    const MeasuredSpan span = FindMeasuredSpan(samples, count, rateHz);
    const std::int32_t onset = span.onset, length = span.length;
    if (span.secondStrike >= 0) {
        report.warnings.push_back({kWarnSecondStrike, "the bell is struck again at " +
                                                          FixedText(span.secondStrike / rateHz, 3) +
                                                          " s; only what comes before is measured"});
    }
    const double endSeconds = length / rateHz;
    RecordingSpectra spectra(samples + onset, length, rateHz);
    LocalTransform transform(spectra.TakeHannWindowed(), rateHz);
    const Recording recording{spectra, transform, rateHz, length, endSeconds};
    double harmonic[3] = {0.0, 0.0, 0.0};  // nominal, superquint, octave nominal
    std::vector<std::string> irregular, unresolved;
    for (int row = 0; row < table.count && row < kPartialRows; ++row) {
        if (table.partialIndex[row] < 0 || table.partialIndex[row] >= NoPartial) continue;
        Findings findings;
        report.partials.push_back(MeasurePartial(recording, table, row, searchHz, findings));
        const TunedPartial& p = report.partials.back();
        if (p.partialIndex >= kNominal && p.partialIndex <= kOctaveNominal) {
            harmonic[p.partialIndex - kNominal] = p.frequencyHz;
        }
        if (findings.irregular) irregular.push_back(p.name);
        if (findings.unresolved) unresolved.push_back(p.name);
    }
    WarnAboutPartials(report, irregular, unresolved);
    FinishReport(report, ideal, harmonic, true);
    return report;
}

TuningReport ReportFromTable(const PartialTable& table, const IdealTuning& ideal) {
    TuningReport report;
    report.idealName = ideal.name;
    report.measured = false;
    double harmonic[3] = {0.0, 0.0, 0.0};
    for (int row = 0; row < table.count && row < kPartialRows; ++row) {
        const int index = table.partialIndex[row];
        if (index < 0 || index >= NoPartial) continue;
        TunedPartial p;
        p.partialIndex = static_cast<std::int16_t>(index);
        p.name = table.partialNames[static_cast<std::size_t>(index)];
        p.frequencyHz = table.frequency[row];
        p.cents = table.cents[row];
        p.note = NoteName(p.frequencyHz);
        if (index >= kNominal && index <= kOctaveNominal) harmonic[index - kNominal] = p.frequencyHz;
        report.partials.push_back(p);
    }
    FinishReport(report, ideal, harmonic, false);
    return report;
}

void ApplyIdeal(TuningReport& report, const IdealTuning& ideal) {
    report.idealName = ideal.name;
    const bool nominal = std::any_of(report.partials.begin(), report.partials.end(),
                                     [](const TunedPartial& p) { return p.partialIndex == kNominal && p.frequencyHz > 0.0; });
    for (TunedPartial& p : report.partials) {
        p.idealCents = ideal.centsByPartial[static_cast<std::size_t>(p.partialIndex)];
        p.deviationCents.reset();
        if (p.idealCents && nominal) p.deviationCents = p.cents - *p.idealCents;
    }
}
