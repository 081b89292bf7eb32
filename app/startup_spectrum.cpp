#include "app/startup_spectrum.h"

#include <cstdint>

#include "analysis/spectrum_analyser.h"
#include "partials/partial_table.h"

void AddStartupPeak(SpectrumAnalyser& engine, double frequency, double amplitude) {
    static constexpr double kDivisors[9] = {15, 7, 4, 2.5, 1, 2.5, 4, 7, 15};
    if (!(frequency < engine.endFrequency - 2 * engine.interval) || !engine.spectrum) return;
    const double position = (frequency - engine.startFrequency) / engine.interval;
    // Below -9 every point of the peak lies before point 0; the check also
    // keeps the conversion below within the int range.
    if (!(position > -9.0)) return;
    const std::int32_t first = static_cast<std::int32_t>(position) - 4;
    for (std::int32_t i = 0; i < 9; ++i) {
        const std::int32_t point = first + i;
        if (point >= 0 && point <= engine.steps) engine.spectrum[point] = amplitude / kDivisors[i];
    }
}

bool PrepareStartupSpectrum(SpectrumAnalyser& engine, PartialTable& table,
                            AnalysisRequest& request, double lowNominal, double highNominal) {
    engine.Configure(request.steps, request.startFrequency, request.endFrequency, request.interval);
    request.recordLength = static_cast<std::int32_t>(44100 / request.interval);
    request.lastSample = request.recordLength;
    for (std::int32_t point = 0; point <= engine.steps; ++point) engine.spectrum[point] = 0.0;
    for (const StartupPeak& peak : kStartupPeaks) AddStartupPeak(engine, peak.frequency, peak.amplitude);
    engine.FindMaximum();
    engine.spectrumValid = 1;
    engine.smoothValid = engine.Smooth(request.sampleRate, request.recordLength) ? 1 : 0;
    if (!table.DetectPeaks(engine)) return false;
    table.nominal = table.FindNominal(false, lowNominal, highNominal);
    table.UpdateCentsAndNotes();
    table.partialsValid = 1;
    return true;
}
