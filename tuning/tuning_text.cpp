#include "tuning/tuning_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

std::string FixedText(double value, int decimals, bool sign) {
    if (!std::isfinite(value)) return "?";
    if (std::abs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0.0;
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    return sign && value >= 0.0 ? "+" + text : text;
}

std::string FrequencyWithUncertainty(double hz, double uncertaintyHz, std::string_view plusMinus) {
    std::string separator = " ";
    separator.append(plusMinus).append(" ");
    if (!(uncertaintyHz > 0.0) || !std::isfinite(uncertaintyHz)) return FixedText(hz, 3) + separator + "?";
    const int decimals = std::clamp(1 - static_cast<int>(std::floor(std::log10(uncertaintyHz))), 0, 6);
    return FixedText(hz, decimals) + separator + FixedText(uncertaintyHz, decimals);
}

std::string DoubletText(const Doublet& doublet) {
    return FixedText(doublet.frequencyHz, 2) + " Hz, " + FixedText(20.0 * std::log10(doublet.relativeAmplitude), 1) +
           " dB";
}

std::string StrikeNoteText(const TuningReport& report) {
    if (!report.strike) return "Strike note: none (no nominal)";
    std::string text = "Strike note: " + FixedText(report.strike->frequencyHz, 3) + " Hz, " + report.strike->note +
                       ", " + FixedText(report.strike->cents, 2) + " cents from the nominal";
    // The partials it rests on: fitted to fewer than three, a tuner trusts it less.
    for (std::size_t i = 0; i < report.strike->from.size(); ++i) {
        text += (i == 0 ? " (from " : ", ") + report.strike->from[i];
    }
    return report.strike->from.empty() ? text : text + ")";
}

std::string WarningLine(const TuningWarning& warning) {
    return "Warning (" + warning.code + "): " + warning.text;
}

std::string WarningsText(const TuningReport& report) {
    std::string text;
    for (const TuningWarning& warning : report.warnings) {
        if (!text.empty()) text += "; ";
        text += warning.text;
    }
    return text;
}

std::vector<std::string> WarningCodes(const TuningReport& report) {
    std::vector<std::string> codes;
    for (const TuningWarning& warning : report.warnings) {
        if (std::find(codes.begin(), codes.end(), warning.code) == codes.end()) codes.push_back(warning.code);
    }
    return codes;
}

std::string WarningsSummary(const TuningReport& report) {
    const std::size_t count = report.warnings.size();
    if (count == 0) return "";
    std::string text = std::to_string(count) + (count == 1 ? " warning: " : " warnings: ");
    const std::vector<std::string> codes = WarningCodes(report);
    for (std::size_t i = 0; i < codes.size(); ++i) text += (i == 0 ? "" : ", ") + codes[i];
    return text;
}
