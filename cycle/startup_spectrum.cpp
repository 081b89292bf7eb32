#include "cycle/startup_spectrum.h"

#include <cstdint>

#include "analysis/spectrum.h"
#include "partials/partial_table.h"

void AddStartupPeak(Spectrum& spectrum, double frequency, double amplitude) {
    static constexpr double kDivisors[9] = {15, 7, 4, 2.5, 1, 2.5, 4, 7, 15};
    if (!(frequency < spectrum.endFrequency - 2 * spectrum.interval) || !spectrum.Measured()) return;
    const double position = (frequency - spectrum.startFrequency) / spectrum.interval;
    // Below -9 every point of the peak lies before point 0; the check also
    // keeps the conversion below within the int range.
    if (!(position > -9.0)) return;
    const std::int32_t first = static_cast<std::int32_t>(position) - 4;
    for (std::int32_t i = 0; i < 9; ++i) {
        const std::int32_t point = first + i;
        if (point >= 0 && point <= spectrum.steps) {
            spectrum.magnitudes[static_cast<std::size_t>(point)] = amplitude / kDivisors[i];
        }
    }
}

bool PrepareStartupSpectrum(Spectrum& spectrum, PartialTable& table,
                            AnalysisRequest& request, double lowNominal, double highNominal) {
    spectrum = UnmeasuredSpectrum(request);
    request.recordLength = static_cast<std::int32_t>(44100 / request.interval);
    request.lastSample = request.recordLength;
    if (spectrum.steps >= 0) spectrum.magnitudes.assign(static_cast<std::size_t>(spectrum.steps) + 1, 0.0);
    for (const StartupPeak& peak : kStartupPeaks) AddStartupPeak(spectrum, peak.frequency, peak.amplitude);
    FindMaximum(spectrum);
    Smooth(spectrum, request.sampleRate, request.recordLength);
    if (!table.DetectPeaks(spectrum)) return false;
    table.nominal = table.FindNominal(false, lowNominal, highNominal);
    table.UpdateCentsAndNotes();
    table.partialsValid = 1;
    return true;
}
