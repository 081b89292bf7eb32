#include "analysis/spectrum.h"

Spectrum UnmeasuredSpectrum(const AnalysisRequest& request) {
    Spectrum spectrum;
    spectrum.startFrequency = request.startFrequency;
    spectrum.endFrequency = request.endFrequency;
    spectrum.interval = request.interval;
    spectrum.steps = request.steps;
    return spectrum;
}

void FindMaximum(Spectrum& spectrum) {
    spectrum.maxMagnitude = 0.0;
    const double* points = spectrum.Points();
    if (points == nullptr) return;
    for (std::int32_t i = 0; i <= spectrum.steps; ++i) {
        if (points[i] > spectrum.maxMagnitude) spectrum.maxMagnitude = points[i];
    }
}
