#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tuning/tuning_report.h"

class PartialTable;

// A named partial's level over the recording, as the tuning report measured
// its decay from it: the envelope in the partial's band (so a doublet too
// close to filter away shows as a beat), the straight line fitted to it
// and the T60 the report gives. Levels are dB below full scale of the
// partial's amplitude (as TunedPartial::levelDb); times are seconds from the
// recording's first sample (the trigger).
struct DecayCurve {
    std::int16_t partialIndex = 0;  // IndexOf a Partial
    std::string name;               // "hum" ... "oct. nom."
    double frequencyHz = 0.0;       // the report's precise frequency
    double bandHz = 0.0;            // the envelope's band, either side
    // From the strike's onset to the end of what was measured, leaving out
    // the envelope filter's settling time (its smear of the abrupt start and
    // end) at either end.
    std::vector<double> timesSeconds;
    std::vector<double> levelsDb;  // one per time; -400 dB for silence
    // The noise's level in the band, dB below full scale, where the
    // envelope stops meaning anything.
    double noiseDb = -400.0;
    // The fitted line: levelDb = lineStartDb + lineSlopeDbPerSecond x
    // (t - strikeSeconds), valid from lineFromSeconds to lineToSeconds;
    // `fitted` false when no line could be fitted.
    bool fitted = false;
    double lineStartDb = 0.0;
    double lineSlopeDbPerSecond = 0.0;
    double lineFromSeconds = 0.0;
    double lineToSeconds = 0.0;
    std::optional<double> t60Seconds;  // the report's; empty when it gives none
    bool irregular = false;            // the level beats or bends more than noise allows
    double strikeSeconds = 0.0;        // where the measurement starts (the strike's onset)

    // The fitted line's level at `seconds` (valid only when `fitted`).
    double LineDbAt(double seconds) const { return lineStartDb + lineSlopeDbPerSecond * (seconds - strikeSeconds); }
};

// Spacing the curves are thinned to at most: fine enough for a beat of up
// to the widest band (25 Hz) to show.
inline constexpr double kDecayPointSeconds = 0.01;

// One curve per partial of `report` (in the report's order) measured from
// `samples` (`count` samples at `rateHz`, padding already left out: the
// samples the report was made from), with `table` the partial table the
// report was made of. Empty when the report is not measured or the
// recording holds fewer than 1024 samples, or when the report's partials
// do not match the table's named rows. Plain C++, any thread; a few
// milliseconds for 2 s at 44100 Hz.
std::vector<DecayCurve> MakeDecayCurves(const std::int16_t* samples, std::int32_t count, double rateHz,
                                        const TuningReport& report, const PartialTable& table);

// The curve of the one partial stored as `partialIndex`; empty when the
// report has no such partial (or as MakeDecayCurves).
std::optional<DecayCurve> MakeDecayCurve(const std::int16_t* samples, std::int32_t count, double rateHz,
                                         const TuningReport& report, const PartialTable& table,
                                         std::int16_t partialIndex);
