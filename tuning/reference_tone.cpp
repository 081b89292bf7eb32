#include "tuning/reference_tone.h"

#include <algorithm>

#include "partials/partial_table.h"
#include "tuning/ideal_tuning.h"
#include "tuning/recording_spectra.h"
#include "tuning/tuning_report.h"

namespace {

// The grid frequency of the strongest Hann bin within 5 % of `referenceHz`,
// or 0 when it stands less than 20 dB above the noise around it, or at the
// edge of that span: the skirt of a louder tone outside it is no tone.
double StrongestPeakNear(const RecordingSpectra& spectra, double referenceHz) {
    const double binHz = spectra.BinHz();
    const auto first = static_cast<std::int32_t>(0.95 * referenceHz / binHz) + 1;
    const auto last = std::min(static_cast<std::int32_t>(1.05 * referenceHz / binHz), spectra.Bins() - 1);
    std::int32_t best = -1;
    for (std::int32_t k = std::max(first, 1); k <= last; ++k) {
        if (best < 0 || spectra.HannPower(k) > spectra.HannPower(best)) best = k;
    }
    if (best <= std::max(first, 1) || best >= last) return 0.0;
    const double peakHz = best * binHz;
    const double noise = spectra.NoiseVariance(peakHz, {peakHz}, 10.0 * spectra.ResolutionHz()) * spectra.HannEnergy();
    return spectra.HannPower(best) >= 100.0 * noise ? peakHz : 0.0;
}

}  // namespace

std::uint16_t MeasureReferenceTone(const std::int16_t* samples, std::int32_t count, double rateHz,
                                   double referenceHz, ToneMeasurement& result) {
    result = ToneMeasurement{};
    result.referenceHz = referenceHz;
    if (samples == nullptr || count < 1024 || !(rateHz > 0.0) || !(referenceHz > 0.0)) return kToneTooShort;
    const RecordingSpectra spectra(samples, count, rateHz);
    const double peakHz = StrongestPeakNear(spectra, referenceHz);
    if (peakHz <= 0.0) return kToneNotFound;
    // Measured as the nominal of a bell whose only partial it is.
    PartialTable table;
    table.AddPeak(peakHz, 0.0, 1.0, 0.0, 0.0, IndexOf(Partial::Nominal));
    table.nominal = peakHz;
    const TuningReport report = MakeTuningReport(samples, count, rateHz, 2.0 * spectra.BinHz(), table, JustTuning());
    if (report.partials.empty()) return kToneNotFound;
    result.measuredHz = report.partials.front().frequencyHz;
    result.uncertaintyHz = report.partials.front().uncertaintyHz;
    result.speedAdjust = referenceHz / result.measuredHz;
    return result.speedAdjust >= 0.9 && result.speedAdjust <= 1.1 ? kToneMeasured : kToneOutOfRange;
}

const char* ToneMeasurementText(std::uint16_t code) {
    switch (code) {
        case kToneMeasured: return "Tone measured";
        case kToneTooShort: return "The recording is too short to measure a tone in.";
        case kToneNotFound: return "No tone was found within 5 % of the reference.";
        case kToneOutOfRange: return "The speed adjustment would lie outside 0.9 ... 1.1.";
        default: return "Calibration error!";
    }
}
