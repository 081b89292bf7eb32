#include "tools/analysis_parameters.h"

#include <cmath>
#include <cstdint>

#include "data/number_text.h"

namespace {

constexpr std::int32_t kMaxSteps = 100001;

void CheckRange(std::vector<std::string>& out, const char* option, double value, double low,
                double high) {
    if (value >= low && value <= high) return;
    out.push_back(std::string(option) + " " + FormatDouble15(value) + " is outside " +
                  FormatDouble15(low) + " ... " + FormatDouble15(high));
}

// trunc((end - start) / interval), or 0 when the quotient is not finite.
// Only a quotient whose truncation fits is converted; a larger one is
// reported as one step too many, which the acceptance refuses all the same.
std::int32_t StepsOf(const AnalysisParameters& p) {
    const double quotient = (p.endFrequency - p.startFrequency) / p.interval;
    if (!std::isfinite(quotient)) return 0;
    if (quotient >= kMaxSteps + 1.0) return kMaxSteps + 1;
    if (quotient <= -1.0) return -1;
    return static_cast<std::int32_t>(quotient);
}

}  // namespace

std::vector<std::string> OutOfRangeParameters(const AnalysisParameters& p) {
    std::vector<std::string> out;
    CheckRange(out, "--interval", p.interval, 0.05, 5.0);
    CheckRange(out, "--start", p.startFrequency, 0.0, 22000.0);
    CheckRange(out, "--end", p.endFrequency, 0.0, 22000.0);
    CheckRange(out, "--speed", p.speedAdjust, 0.9, 1.1);
    CheckRange(out, "--low", p.lowNominal, 0.0, 22000.0);
    CheckRange(out, "--high", p.highNominal, 0.0, 22000.0);
    return out;
}

bool AcceptParameters(AnalysisParameters& p, AnalysisRequest& request) {
    const std::int32_t steps = StepsOf(p);
    if (p.lowNominal < p.startFrequency) p.lowNominal = p.startFrequency;
    if (p.highNominal > p.endFrequency || p.highNominal <= p.startFrequency) {
        p.highNominal = p.endFrequency;
    }
    const bool accepted = p.startFrequency >= 0.0 && p.endFrequency > p.startFrequency &&
                          steps > 0 && steps <= kMaxSteps && p.endFrequency <= 22000.0 &&
                          p.interval >= 0.05 && p.speedAdjust <= 1.1 && p.speedAdjust >= 0.9 &&
                          p.lowNominal < p.highNominal;
    if (!accepted) return false;
    request.startFrequency = p.startFrequency;
    request.endFrequency = p.endFrequency;
    request.interval = p.interval;
    request.steps = steps;
    request.firstSample = 0;
    request.lastSample = 88200;
    request.sampleRate = 44100;
    request.recordLength = static_cast<std::int32_t>(44100.0 / p.interval);
    return true;
}
