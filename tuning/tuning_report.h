#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tuning/ideal_tuning.h"

class PartialTable;

// A second, resolved peak close to a named partial: the partial is split.
struct Doublet {
    double frequencyHz = 0.0;
    double relativeAmplitude = 0.0;  // its magnitude over the named one's
};

// One named partial, measured from the samples.
struct TunedPartial {
    std::int16_t partialIndex = 0;  // into PartialTable::partialNames
    std::string name;               // "hum" ... "oct. nom."
    double frequencyHz = 0.0;       // precise frequency
    double uncertaintyHz = 0.0;     // one standard deviation of frequencyHz
    double cents = 0.0;             // from the precise nominal, not truncated
    std::optional<double> idealCents;
    std::optional<double> deviationCents;  // cents - idealCents
    std::optional<double> t60Seconds;
    std::optional<Doublet> doublet;
    std::string note;  // NoteName(frequencyHz)
};

// The note heard when the bell is struck: the fundamental whose 2nd, 3rd and
// 4th harmonics best fit the nominal, superquint and octave nominal.
struct StrikeNote {
    double frequencyHz = 0.0;
    std::string note;
    double cents = 0.0;  // from the precise nominal
};

struct TuningReport {
    std::string idealName;
    std::optional<StrikeNote> strike;  // empty without a named nominal
    std::vector<TunedPartial> partials;  // the table's named rows, in table order
    // False for a report of a partials table alone (ReportFromTable): no
    // samples, so no uncertainty (0), T60 or doublet.
    bool measured = true;
};

// Measures every named row of `table` (partialIndex below 7) on the
// recording `samples` (`count` samples at `rateHz`): its precise frequency
// (the peak of the Hann-windowed transform of the whole recording, sought
// within `searchHz` of the row's frequency, the spectrum's interval) and its
// uncertainty, cents from the precise nominal and deviation from `ideal`,
// T60, a doublet within 40 cents, its note; then the strike note. A table
// without named rows, or fewer than 1024 samples, gives a report without
// partials. Plain C++, any thread; about 1 ms a partial for 2 s at 44100 Hz.
TuningReport MakeTuningReport(const std::int16_t* samples, std::int32_t count, double rateHz,
                              double searchHz, const PartialTable& table, const IdealTuning& ideal);

// The report a partials table alone allows, for a table read from a file:
// every named row with the table's frequency and cents, its note, the
// ideal and the deviation from it (when the table has a nominal), and the
// strike note of the table's nominal, superquint and octave nominal;
// `measured` false. Plain C++, any thread.
TuningReport ReportFromTable(const PartialTable& table, const IdealTuning& ideal);

// Each partial's ideal and deviation from `ideal` anew (the deviation only
// when the report has a nominal); idealName follows. For a change of the
// ideal without measuring again.
void ApplyIdeal(TuningReport& report, const IdealTuning& ideal);

// The strike note of precise nominal, superquint and octave nominal
// frequencies (Hz; 0 for one not named), or empty without a nominal.
std::optional<StrikeNote> EstimateStrike(double nominalHz, double superquintHz, double octaveHz);
