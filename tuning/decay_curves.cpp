#include "tuning/decay_curves.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "partials/partial_table.h"
#include "tuning/envelope_band.h"
#include "tuning/measured_span.h"
#include "tuning/partial_decay.h"
#include "tuning/recording_spectra.h"

namespace {

// An envelope value is half the partial's amplitude.
double AmplitudeDb(double halfAmplitude) {
    const double amplitude = 2.0 * halfAmplitude;
    return amplitude > 0.0 ? 20.0 * std::log10(amplitude / 32768.0) : -400.0;
}

// The table rows the report measured, in its order: its named rows.
std::vector<int> NamedRows(const PartialTable& table) {
    std::vector<int> rows;
    for (int row = 0; row < table.count && row < kPartialRows; ++row) {
        if (table.partialIndex[row] >= 0 && table.partialIndex[row] < NoPartial) rows.push_back(row);
    }
    return rows;
}

struct Measured {
    const RecordingSpectra& spectra;
    MeasuredSpan span;
    double rateHz;
};

DecayCurve CurveOf(const Measured& m, const PartialTable& table, int row, const TunedPartial& partial) {
    DecayCurve curve;
    curve.partialIndex = partial.partialIndex;
    curve.name = partial.name;
    curve.frequencyHz = partial.frequencyHz;
    curve.t60Seconds = partial.t60Seconds;
    curve.strikeSeconds = m.span.onset / m.rateHz;
    curve.bandHz = EnvelopeBandHz(table, row, partial.frequencyHz, partial.doublet, m.spectra.ResolutionHz());
    const PartialEnvelope envelope = m.spectra.Envelope(partial.frequencyHz, curve.bandHz);
    const double noiseVariance = PartialNoiseVariance(m.spectra, table, partial.frequencyHz);
    const PartialDecay decay = MeasureDecay(envelope, noiseVariance, m.span.length / m.rateHz);
    curve.noiseDb = AmplitudeDb(std::sqrt(noiseVariance * envelope.unitNoiseVariance));
    curve.irregular = decay.irregular;
    // ln|value| = logStart + slope t  ->  dB of 2|value|.
    constexpr double kDbPerNeper = 20.0 / std::numbers::ln10;
    curve.fitted = decay.fitted;
    curve.lineStartDb = kDbPerNeper * decay.logStart + AmplitudeDb(1.0);
    curve.lineSlopeDbPerSecond = kDbPerNeper * decay.slope;
    curve.lineFromSeconds = curve.strikeSeconds + decay.fromSeconds;
    curve.lineToSeconds = curve.strikeSeconds + decay.toSeconds;

    // Whole values per point, so that every point is a value the fit saw;
    // none where the filter still smears the recording's start or end.
    const auto stride = static_cast<std::size_t>(std::max(1.0, std::floor(envelope.rateHz * kDecayPointSeconds)));
    const auto settle = static_cast<std::size_t>(std::ceil(envelope.settleSeconds * envelope.rateHz));
    const auto usable = std::min(envelope.values.size(), static_cast<std::size_t>(std::max(envelope.usable, 0)));
    for (std::size_t i = settle; i + settle < usable; i += stride) {
        curve.timesSeconds.push_back(curve.strikeSeconds + static_cast<double>(i) / envelope.rateHz);
        curve.levelsDb.push_back(AmplitudeDb(std::abs(envelope.values[i])));
    }
    return curve;
}

// The curves of the report's partials for which `wanted` says yes.
template <typename Wanted>
std::vector<DecayCurve> Curves(const std::int16_t* samples, std::int32_t count, double rateHz,
                               const TuningReport& report, const PartialTable& table, Wanted wanted) {
    std::vector<DecayCurve> curves;
    const std::vector<int> rows = NamedRows(table);
    if (samples == nullptr || count < 1024 || !(rateHz > 0.0) || !report.measured ||
        rows.size() != report.partials.size()) {
        return curves;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (table.partialIndex[rows[i]] != report.partials[i].partialIndex) return curves;
    }
    const MeasuredSpan span = FindMeasuredSpan(samples, count, rateHz);
    const RecordingSpectra spectra(samples + span.onset, span.length, rateHz);
    const Measured measured{spectra, span, rateHz};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (wanted(report.partials[i])) curves.push_back(CurveOf(measured, table, rows[i], report.partials[i]));
    }
    return curves;
}

}  // namespace

std::vector<DecayCurve> MakeDecayCurves(const std::int16_t* samples, std::int32_t count, double rateHz,
                                        const TuningReport& report, const PartialTable& table) {
    return Curves(samples, count, rateHz, report, table, [](const TunedPartial&) { return true; });
}

std::optional<DecayCurve> MakeDecayCurve(const std::int16_t* samples, std::int32_t count, double rateHz,
                                         const TuningReport& report, const PartialTable& table,
                                         std::int16_t partialIndex) {
    std::vector<DecayCurve> curves = Curves(samples, count, rateHz, report, table,
                                            [&](const TunedPartial& p) { return p.partialIndex == partialIndex; });
    if (curves.empty()) return std::nullopt;
    return std::move(curves.front());
}
