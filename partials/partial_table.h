#pragma once
#include <array>
#include <cstdint>
#include <string>

class SpectrumAnalyser;

// Index into PartialTable::partialNames of a row that is no bell partial.
inline constexpr std::int16_t NoPartial = 7;
// Rows the table holds.
inline constexpr int kPartialRows = 25;

// The peaks of one bell sound: at most 25 rows in strictly increasing
// frequency, stored column-wise. Used on the user-interface thread only.
class PartialTable {
public:
    PartialTable();

    // Every numeric column 0, partialIndex NoPartial, count 0. Notes and
    // nominal are left as they are.
    void Clear();

    // Inserts one peak in frequency order, keeping the strongest 25 rows.
    // Absolute values are stored; a zero or non-finite frequency, a
    // non-finite amplitude, or a frequency already in the table is ignored.
    void AddPeak(double frequency, double splashAmplitude, double tailAmplitude, double attack,
                 double decay, std::int16_t partialIndex);

    // Whether some row in use has lo <= frequency < hi.
    bool HasPeakIn(double lo, double hi) const;

    // Rebuilds the table from the analyser's smoothed spectrum; false, with
    // the table unchanged, when the spectrum is not ready for it.
    bool DetectPeaks(const SpectrumAnalyser& analyser);

    // Names the partials relative to the best-supported nominal and returns
    // its frequency in Hz (0 when none). Rewrites partialIndex of every row.
    double FindNominal(bool allowFallback, double lowNominal, double highNominal);

    // The row with lo <= frequency <= hi and the largest tailAmplitude
    // (lowest row on ties), or -1 when none has an amplitude above 0.
    std::int16_t StrongestPeakIn(double lo, double hi) const;

    // Rewrites cents and note of all 25 rows from `nominal`.
    void UpdateCentsAndNotes();

    double nominal = 0.0;
    std::array<double, kPartialRows> frequency{};
    std::array<double, kPartialRows> splashAmplitude{};
    std::array<double, kPartialRows> tailAmplitude{};
    std::array<double, kPartialRows> attack{};
    std::array<double, kPartialRows> decay{};
    std::array<double, kPartialRows> cents{};
    std::array<std::int16_t, kPartialRows> partialIndex{};
    std::array<std::string, kPartialRows> note;
    std::array<std::string, 8> partialNames;
    std::uint8_t partialsValid = 0;
    std::int16_t count = 0;
};

// Note text of a frequency: name, octave in parentheses and deviation in
// whole cents; " " below 32.7031956625748 Hz or when not finite.
std::string NoteName(double frequency);
