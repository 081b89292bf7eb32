#include "data/number_text.h"
#include "tools/tool_options.h"

namespace {

void CheckRange(std::vector<std::string>& out, const char* option, double value,
                ParameterRange range) {
    if (value >= range.minimum && value <= range.maximum) return;
    out.push_back(std::string(option) + " " + FormatDouble15(value) + " is outside " +
                  FormatDouble15(range.minimum) + " ... " + FormatDouble15(range.maximum));
}

}  // namespace

std::vector<std::string> OutOfRangeParameters(const AnalysisParameters& p) {
    std::vector<std::string> out;
    CheckRange(out, "--interval", p.interval, kIntervalRange);
    CheckRange(out, "--start", p.startFrequency, kFrequencyRange);
    CheckRange(out, "--end", p.endFrequency, kFrequencyRange);
    CheckRange(out, "--speed", p.speedAdjust, kSpeedAdjustRange);
    CheckRange(out, "--low", p.lowNominal, kFrequencyRange);
    CheckRange(out, "--high", p.highNominal, kFrequencyRange);
    return out;
}
