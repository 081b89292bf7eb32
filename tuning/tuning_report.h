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
    // Its level at the strike, dB below full scale: the partial's level and
    // the relative amplitude; empty when the partial's level is.
    std::optional<double> levelDb;
};

// One named partial, measured from the samples.
struct TunedPartial {
    std::int16_t partialIndex = 0;  // IndexOf a Partial (partials/partial.h)
    std::string name;               // "hum" ... "oct. nom."
    double frequencyHz = 0.0;       // precise frequency
    double uncertaintyHz = 0.0;     // one standard deviation of frequencyHz
    double cents = 0.0;             // from the precise nominal, not truncated
    std::optional<double> idealCents;
    std::optional<double> deviationCents;  // cents - idealCents
    std::optional<double> t60Seconds;
    std::optional<Doublet> doublet;
    std::string note;  // NoteName(frequencyHz)
    // The amplitude at the strike, dB below full scale (20 log10(A / 32768)):
    // the fitted decay's at the strike, or without one the envelope's
    // largest; empty for a report of a table alone.
    std::optional<double> levelDb;
};

// The note heard when the bell is struck: the fundamental whose 2nd, 3rd and
// 4th harmonics best fit, in cents, the named ones of nominal, superquint and
// octave nominal (each named one an equal say).
struct StrikeNote {
    double frequencyHz = 0.0;
    std::string note;
    double cents = 0.0;  // from the precise nominal
    std::vector<std::string> from;  // the names of the partials used, in harmonic order
};

// Something about the recording that makes figures of the report doubtful.
// `code` is one of the fixed codes below; `text` says it to the tuner.
struct TuningWarning {
    std::string code;
    std::string text;
};

// The warning codes, and the tool's --help explains each.
inline constexpr const char* kWarnClipped = "clipped";             // samples at full scale
inline constexpr const char* kWarnSecondStrike = "second_strike";  // the bell struck again
inline constexpr const char* kWarnPadded = "padded";               // the file ended early
inline constexpr const char* kWarnBeats = "beats";                 // a partial's level beats or bends: no T60
inline constexpr const char* kWarnUnresolved = "unresolved";       // a companion too close pulls a frequency

// What the caller knows of a recording that its samples alone cannot say.
struct RecordingFacts {
    // Samples of the recording (from the trigger on, before the speed
    // adjustment) at +32767 or -32768.
    std::int32_t clippedSamples = 0;
    // Zeros at the end of the samples passed, standing in for a file that
    // ended before the recording was complete; they are not measured.
    std::int32_t paddedSamples = 0;
};

// Samples at +32767 or -32768 among `count`.
std::int32_t CountClippedSamples(const std::int16_t* samples, std::int32_t count);

struct TuningReport {
    std::string idealName;
    std::optional<StrikeNote> strike;  // empty without a named nominal
    std::vector<TunedPartial> partials;  // the table's named rows, in table order
    // False for a report of a partials table alone (ReportFromTable): no
    // samples, so no uncertainty (0), T60 or doublet.
    bool measured = true;
    std::int32_t clippedSamples = 0;  // RecordingFacts::clippedSamples
    std::vector<TuningWarning> warnings;  // in the order found; empty when all is well
};

// Measures every named row of `table` (partialIndex below 7) on the
// recording `samples` (`count` samples at `rateHz`, the last
// facts.paddedSamples of them zeros that are left out), from the strike on:
// its precise frequency (the peak of the Hann-windowed transform, sought
// within `searchHz` of the row's frequency, the spectrum's interval, and at
// least 1 Hz when more than 2 s are measured) and its uncertainty, cents
// from the precise nominal and deviation from `ideal`, T60, a doublet within
// 40 cents, its note; then the strike note and the warnings. A table
// without named rows, or fewer than 1024 samples, gives a report without
// partials. Plain C++, any thread; a few milliseconds for 2 s at 44100 Hz.
TuningReport MakeTuningReport(const std::int16_t* samples, std::int32_t count, double rateHz,
                              double searchHz, const PartialTable& table, const IdealTuning& ideal,
                              const RecordingFacts& facts = {});

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
// `from` names those used.
std::optional<StrikeNote> EstimateStrike(double nominalHz, double superquintHz, double octaveHz);
