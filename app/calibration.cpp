#include "app/calibration.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "data/number_text.h"
#include "data/safe_save.h"

double ReadCalibration(const char* path) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return 1.0;
    // One read of at most 38 characters: the rest of a long first line and
    // every later line stay unread.
    char line[kCalibrationLineChars + 1] = {};
    const bool read = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    if (!read) return 1.0;
    std::size_t pos = 0;
    double value = 0.0;
    if (!ScanDouble(std::string_view(line, std::strlen(line)), pos, value)) return 1.0;
    if (value < kMinSpeedAdjust || value > kMaxSpeedAdjust) return 1.0;
    return value;
}

bool WriteCalibration(double speedAdjust, const char* path) {
    if (!(speedAdjust >= kMinSpeedAdjust && speedAdjust <= kMaxSpeedAdjust)) return false;
    char line[32];
    const auto end = std::to_chars(line, line + sizeof line - 1, speedAdjust, std::chars_format::fixed, 9).ptr;
    *end = '\n';
    return SaveBytesSafely(path, std::string_view(line, static_cast<std::size_t>(end + 1 - line)));
}
