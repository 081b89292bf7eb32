#include "data/number_text.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace {

std::string ToChars(double value, std::chars_format form, int precision) {
    char buffer[400];  // "%lf" of the largest double has 309 digits before the point
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, form, precision);
    return std::string(buffer, result.ptr);
}

locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::string FormatFixed6(double value) {
    return ToChars(value, std::chars_format::fixed, 6);
}

std::string FormatDouble15(double value) {
    return ToChars(value, std::chars_format::general, 15);
}

bool ScanDouble(std::string_view text, std::size_t& pos, double& value) {
    if (pos > text.size()) return false;
    // strtod_l needs a terminated string and reads in the C locale whatever
    // the user's; a number longer than the window is cut there.
    std::size_t start = pos;
    while (start < text.size() && IsSpace(text[start])) ++start;
    constexpr std::size_t kWindow = 1024;
    const std::string window(text.substr(start, kWindow));
    char* endPtr = nullptr;
    errno = 0;
    const double parsed = strtod_l(window.c_str(), &endPtr, CLocale());
    if (endPtr == window.c_str()) return false;
    if (!std::isfinite(parsed)) return false;
    if (errno == ERANGE && std::fabs(parsed) > 1.0) return false;  // overflow; underflow reads as scanned
    value = parsed;
    pos = start + static_cast<std::size_t>(endPtr - window.c_str());
    return true;
}

bool ParseWholeDouble(std::string_view text, double& value) {
    std::size_t pos = 0;
    double parsed = 0.0;
    if (!ScanDouble(text, pos, parsed)) return false;
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    if (pos != text.size()) return false;
    value = parsed;
    return true;
}

std::string FormatShortest(double value) {
    if (!std::isfinite(value)) return "";
    char buffer[64];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}
