#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "partials/partial.h"

struct Spectrum;

// Index into PartialTable::partialNames of a row that is no bell partial.
inline constexpr std::int16_t NoPartial = IndexOf(Partial::None);
// Rows the table holds.
inline constexpr int kPartialRows = 25;

// The peaks of one bell sound: at most 25 rows in strictly increasing
// frequency, stored column-wise. Used on the user-interface thread only.
class PartialTable {
public:
    PartialTable();

    // Empties the table: every numeric column of all 25 rows 0, partialIndex
    // NoPartial, note empty; nominal 0, partialsValid 0, count 0.
    void Clear();

    // Inserts one peak (Hz, amplitudes) in frequency order; the new row's
    // note is NoteName(frequency), its cents are left stale until
    // UpdateCentsAndNotes. Absolute values are stored. Ignored, changing
    // nothing: a zero frequency, any of the five values not finite, a
    // frequency already in the table. In a full table the new peak replaces
    // the weakest row (lowest row on ties) only when strictly stronger, and
    // otherwise is dropped. Sets partialsValid unless ignored.
    void AddPeak(double frequency, double splashAmplitude, double tailAmplitude, double attack,
                 double decay, std::int16_t partialIndex);

    // Whether some row in use has lo <= frequency < hi (Hz).
    bool HasPeakIn(double lo, double hi) const;

    // Clears the table and offers every sharp peak of the smoothed spectrum,
    // measured on the raw magnitudes, to AddPeak in rising frequency. A peak
    // is a rise-then-fall of two adjacent sums of W smoothed points, W =
    // trunc(resolutionRatio x 15 + 1). Returns false, with the table
    // unchanged, when the spectrum is not Smoothed or has fewer than 3W
    // intervals (steps < 3W).
    bool DetectPeaks(const Spectrum& spectrum);

    // Names the partials relative to the best-supported nominal and returns
    // its frequency in Hz (0 when none); the caller decides whether to store
    // it in `nominal`. The nominal is sought among the ten lowest rows, within
    // lowNominal ... highNominal (Hz, inclusive), backed by hum, prime and
    // tierce; with allowFallback the strongest row within the limits stands
    // in when no such combination exists. Rewrites partialIndex of the rows
    // in use.
    double FindNominal(bool allowFallback, double lowNominal, double highNominal);

    // The row with lo <= frequency <= hi and the largest tailAmplitude
    // (lowest row on ties), or -1 when none has an amplitude above 0.
    std::int16_t StrongestPeakIn(double lo, double hi) const;

    // Rewrites note of all 25 rows and cents (interval from `nominal`,
    // truncated toward zero to a tenth of a cent; 0 for an empty row).
    // Does nothing while `nominal` is not a positive finite frequency.
    void UpdateCentsAndNotes();

    double nominal = 0.0;  // Hz, reference of the cents; 0 = none
    // Columns, index = row; rows 0 ... count - 1 in strictly rising frequency.
    std::array<double, kPartialRows> frequency{};        // Hz; 0 in rows not in use
    std::array<double, kPartialRows> splashAmplitude{};  // carried; 0 for detected peaks
    std::array<double, kPartialRows> tailAmplitude{};    // the peak's magnitude
    std::array<double, kPartialRows> attack{};           // carried; 0 for detected peaks
    std::array<double, kPartialRows> decay{};            // carried; 0 for detected peaks
    std::array<double, kPartialRows> cents{};            // from nominal, one decimal
    std::array<std::int16_t, kPartialRows> partialIndex{};  // into partialNames
    std::array<std::string, kPartialRows> note;             // NoteName(frequency)
    // "hum", "prime", "tierce", "nominal", "superquint", "oct. nom.", "quint", "".
    std::array<std::string, 8> partialNames;
    std::uint8_t partialsValid = 0;  // the table holds partials worth showing or saving
    std::int16_t count = 0;          // rows in use, 0 ... 25

private:
    // The six values AddPeak stores for a new row.
    struct NewRow {
        double frequency;
        double splash;
        double tail;
        double attack;
        double decay;
        std::int16_t index;
    };
    // count clamped to 0 ... 25, so a count set from outside can never index
    // past the columns.
    int RowsInUse() const;
    // Copies row `from` over row `to`, all columns but cents.
    void MoveRow(int from, int to);
    // Stores the new row's values and its note at `row`; cents untouched.
    void WriteRow(int row, const NewRow& peak);
    // Full table, the new peak strictly stronger than row `weakest`: that row
    // leaves and the peak enters at its place in frequency order, t being
    // one past the last row of lower frequency.
    void ReplaceWeakest(int t, int weakest, const NewRow& peak);
    // The best-scoring hum, prime, tierce, nominal quadruple among the ten
    // lowest rows (exclusive windows); its nominal in Hz and its rows in
    // `chosen`, or 0 when none has a positive score.
    double SearchCombination(double lowNominal, double highNominal,
                             std::array<int, 4>& chosen) const;
    // The strongest row within the limits as nominal, with hum, prime and
    // tierce in inclusive windows; its frequency in Hz, or 0 when none.
    double NameFallbackNominal(double lowNominal, double highNominal);
    // Gives `index` to the strongest row with lo <= frequency <= hi, if any.
    void NameInWindow(double lo, double hi, std::int16_t index);
};

// Note text of a frequency (Hz): nearest equal-tempered note (A = 440 Hz,
// flats but F#), octave in parentheses (middle C is octave 1) and deviation
// in whole cents toward zero after " +" (0 or more) or " ", e.g. "A(1) +0",
// "A(1) -39"; " " below 32.7031956625748 Hz or when not finite.
std::string NoteName(double frequency);
