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
    const std::string separator = " " + std::string(plusMinus) + " ";
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
    return "Strike note: " + FixedText(report.strike->frequencyHz, 3) + " Hz, " + report.strike->note + ", " +
           FixedText(report.strike->cents, 2) + " cents from the nominal";
}
