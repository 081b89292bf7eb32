#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The cents from the nominal that each named partial should have. Indexed
// by partial (partials/partial.h): hum, prime, tierce, nominal, superquint,
// oct. nom., quint. Plain C++, any thread.
struct IdealTuning {
    std::string name;  // "just", "tempered" or the file it was read from
    std::array<std::optional<double>, 7> centsByPartial{};
};

// Hum, prime and octave nominal in octaves, tierce 6:5 below, quint 4:3
// below, superquint 3:2 above the nominal: -2400, -1200, -884.36, 0,
// +701.96, +1200, -498.04.
IdealTuning JustTuning();

// As JustTuning with the tierce -900, the quint -500 and the superquint +700.
IdealTuning TemperedTuning();

// Why a founder's ideal file was refused; IdealFileErrorText says it in words.
enum IdealFileError : std::int16_t {
    kIdealFileUnreadable = 1,  // cannot be opened or read
    kIdealLineNoComma = 2,     // a line without "name,cents"
    kIdealUnknownPartial = 3,  // the name is none of the seven
    kIdealBadCents = 4,        // the cents are not one finite number
    kIdealDuplicate = 5,       // a partial given twice
    kIdealEmpty = 6,           // no partial given at all
};
std::string IdealFileErrorText(std::int16_t code);

// Parses a founder's ideal: one "name,cents" line per partial, with the
// table's partial names ("oct. nom." included), white space around both
// allowed, "#" starting a comment, blank lines skipped. Partials not listed
// have no ideal. On failure returns false with `code` and the 1-based `line`
// (0 when the fault is the file as a whole); `ideal` is then unchanged.
bool ParseIdealTuning(std::string_view text, std::string_view name, IdealTuning& ideal,
                      std::int16_t& code, int& line);

// Reads and parses the file at `path`; `ideal.name` becomes the path.
bool ReadIdealTuning(const std::string& path, IdealTuning& ideal, std::int16_t& code, int& line);

// "just", "tempered" or a file's path, as the tool's --ideal takes it.
bool ChooseIdealTuning(const std::string& choice, IdealTuning& ideal, std::int16_t& code, int& line);
