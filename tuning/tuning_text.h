#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "tuning/tuning_report.h"

// The tuning report's numbers as text, the same in the tool's table and in
// the window's panel, under every locale. Plain C++, any thread.

// `decimals` fixed decimals; a value that rounds to zero is "0.00", never
// "-0.00"; with `sign` a leading "+" on values from zero up; "?" for a
// value that is not finite.
std::string FixedText(double value, int decimals, bool sign = false);

// The frequency to two significant digits of its uncertainty, then
// `plusMinus` and the uncertainty to the same decimal: "640.1234 +- 0.0012".
// Without a positive finite uncertainty: three decimals, then "?".
std::string FrequencyWithUncertainty(double hz, double uncertaintyHz, std::string_view plusMinus);

// "641.52 Hz, -6.0 dB": the second peak and its level against the named one.
std::string DoubletText(const Doublet& doublet);

// "Strike note: 320.012 Hz, Eb(1) +4, -1199.91 cents from the nominal
// (from nominal, superquint, oct. nom.)", the partials it was fitted to in
// brackets when the report names them, or "Strike note: none (no nominal)".
std::string StrikeNoteText(const TuningReport& report);

// One warning as a line of its own: "Warning (clipped): 1234 samples ...".
std::string WarningLine(const TuningWarning& warning);

// The warnings' texts joined with "; ", in the report's order; empty when
// there are none.
std::string WarningsText(const TuningReport& report);

// The short form where the texts do not fit: "2 warnings: clipped, beats"
// (each code once, in the order found); empty when there are none.
std::string WarningsSummary(const TuningReport& report);

// The warnings' codes, each once, in the order found.
std::vector<std::string> WarningCodes(const TuningReport& report);
