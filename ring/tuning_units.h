#pragma once
#include <string>
#include <string_view>

// The units intervals are stated in: cents, or the sixteenths of a
// semitone that continental founders and carillonneurs use (6.25 cents
// each). Plain C++, any thread.

enum class TuningUnits {
    Cents,
    Sixteenths,
};

inline constexpr double kCentsPerSixteenth = 6.25;

// `cents` in `units`: unchanged, or divided by 6.25.
double InUnits(double cents, TuningUnits units);

// `cents` in `units` as text, under every locale: cents to two decimals,
// sixteenths to one, with a "+" on values from zero up unless `sign` is
// false ("+12.50", "-0.48"; "+2.0", "-0.1"); a value that rounds to zero
// shows as "+0.00" / "+0.0", never with a minus; "?" for one that is not
// finite.
std::string UnitsText(double cents, TuningUnits units, bool sign = true);

// The units' name as ParseTuningUnits reads it: "cents" or "sixteenths".
std::string_view UnitsName(TuningUnits units);

// Reads "cents" or "sixteenths" (exactly, in lower case) into `units`;
// false for any other text, `units` then unchanged.
bool ParseTuningUnits(std::string_view text, TuningUnits& units);
