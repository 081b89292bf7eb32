#include "cycle/analysis_parameters.h"

#include <cmath>

std::int32_t StepsFor(double startFrequency, double endFrequency, double interval) {
    const double quotient = (endFrequency - startFrequency) / interval;
    if (!std::isfinite(quotient)) return 0;
    if (quotient >= kMaxSteps + 1.0) return kMaxSteps + 1;
    if (quotient <= -1.0) return -1;
    return static_cast<std::int32_t>(quotient);
}

void CorrectNominalLimits(AnalysisParameters& p) {
    if (p.lowNominal < p.startFrequency) p.lowNominal = p.startFrequency;
    if (p.highNominal > p.endFrequency || p.highNominal <= p.startFrequency) {
        p.highNominal = p.endFrequency;
    }
}

bool ParametersAcceptable(const AnalysisParameters& p, std::int32_t steps) {
    return p.startFrequency >= 0.0 && p.endFrequency > p.startFrequency && steps > 0 &&
           steps <= kMaxSteps && p.endFrequency <= kFrequencyRange.maximum &&
           p.interval >= kIntervalRange.minimum && p.speedAdjust <= kSpeedAdjustRange.maximum &&
           p.speedAdjust >= kSpeedAdjustRange.minimum && p.lowNominal < p.highNominal;
}

std::int32_t RecordLengthFor(double interval) {
    return static_cast<std::int32_t>(kRecordingRate / interval);
}

bool AcceptParameters(AnalysisParameters& p, AnalysisRequest& request) {
    const std::int32_t steps = StepsFor(p.startFrequency, p.endFrequency, p.interval);
    CorrectNominalLimits(p);
    if (!ParametersAcceptable(p, steps)) return false;
    request.startFrequency = p.startFrequency;
    request.endFrequency = p.endFrequency;
    request.interval = p.interval;
    request.steps = steps;
    SetRecordingStretch(request, p.interval);
    return true;
}

void SetRecordingStretch(AnalysisRequest& request, double interval) {
    request.firstSample = 0;
    request.lastSample = kSpectrumSamples;
    request.sampleRate = kRecordingRate;
    request.recordLength = RecordLengthFor(interval);
}
