#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "partials/partial_table.h"

namespace {

constexpr double kReferenceC = 32.7031956625748;        // Hz, 440 x 2^(-45/12)
constexpr double kLogSemitone = 0.057762265046662;      // ln 2 / 12
constexpr double kCentsPerLog = 1731.234049066756;      // 1200 / ln 2
constexpr double kTenthCentsPerLog = 17312.34049066756;  // 12000 / ln 2

constexpr std::array<const char*, 12> kPitchNames = {"C",  "Db", "D",  "Eb", "E",  "F",
                                                     "F#", "G",  "Ab", "A",  "Bb", "B"};

void AppendInteger(std::string& text, int value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, result.ptr);
}

}  // namespace

std::string NoteName(double f) {
    // The negated test also sends NaN here; infinity is caught separately
    // because its logarithm does not fit the 16-bit octave.
    if (!(f >= kReferenceC) || !std::isfinite(f)) {
        return " ";
    }
    const double logRatio = std::log(f / kReferenceC);
    // The half semitone makes the truncations below round to the nearest note.
    const double semitones = logRatio / kLogSemitone + 0.5;
    // Every finite double keeps these within 16 bits (the octave below 1100).
    const auto octave = static_cast<std::int16_t>(static_cast<int>(semitones / 12.0));
    auto pitch = static_cast<std::int16_t>(static_cast<int>(semitones - 12.0 * octave));
    if (pitch < 0) {
        pitch = 0;
    }
    if (pitch > 11) {
        pitch = 11;  // cannot happen with correctly rounded division; guards the index
    }
    const auto deviation =
        static_cast<std::int16_t>(static_cast<int>(logRatio * kCentsPerLog - (12 * octave + pitch) * 100.0));

    std::string text = kPitchNames[static_cast<std::size_t>(pitch)];
    text += '(';
    AppendInteger(text, octave - 2);
    text += ')';
    text += deviation >= 0 ? " +" : " ";
    AppendInteger(text, deviation);
    return text;
}

void PartialTable::UpdateCentsAndNotes() {
    if (!(nominal > 0.0) || !std::isfinite(nominal)) {
        return;
    }
    for (int row = 0; row < kPartialRows; ++row) {
        note[row] = NoteName(frequency[row]);
        if (frequency[row] == 0.0) {
            cents[row] = 0.0;
            continue;
        }
        const double tenths = std::log(frequency[row] / nominal) * kTenthCentsPerLog;
        // Through an integer, so a row a hair below the nominal gets 0.0 and
        // not -0.0. Only a frequency edited in from outside can make this
        // non-finite (AddPeak refuses such values).
        cents[row] = std::isfinite(tenths) ? static_cast<double>(static_cast<std::int64_t>(tenths)) / 10.0 : 0.0;
    }
}
