#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The bell partials the program names. Their values are the index every
// partial table, tuning report and ideal stores for them (a 16-bit
// partialIndex), in the order of the one table of names below.
enum class Partial : std::int16_t {
    Hum = 0,
    Prime = 1,
    Tierce = 2,
    Nominal = 3,
    Superquint = 4,
    OctaveNominal = 5,
    Quint = 6,
    None = 7,  // a row that is no bell partial
};

// How many partials have names (Hum ... Quint).
inline constexpr int kNamedPartials = 7;

// The partials' names by index; "" for Partial::None.
inline constexpr std::array<std::string_view, 8> kPartialNames = {
    "hum", "prime", "tierce", "nominal", "superquint", "oct. nom.", "quint", ""};

// The stored index of `partial`.
constexpr std::int16_t IndexOf(Partial partial) { return static_cast<std::int16_t>(partial); }

// The name of `partial`: "hum" ... "oct. nom.", "" for None.
constexpr std::string_view NameOf(Partial partial) { return kPartialNames[static_cast<std::size_t>(partial)]; }

// The partial stored as `index`; None for any index outside 0 ... 6.
constexpr Partial PartialAt(int index) {
    return index >= 0 && index < kNamedPartials ? static_cast<Partial>(index) : Partial::None;
}
