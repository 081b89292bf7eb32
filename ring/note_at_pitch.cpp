#include "ring/note_at_pitch.h"

#include <array>
#include <cmath>

namespace {

constexpr std::array<const char*, 12> kPitchNames = {"C",  "Db", "D",  "Eb", "E",  "F",
                                                     "F#", "G",  "Ab", "A",  "Bb", "B"};

bool Positive(double value) { return value > 0.0 && std::isfinite(value); }

}  // namespace

std::optional<PitchNote> NoteAtPitch(double frequencyHz, double referenceHz) {
    if (!Positive(frequencyHz) || !Positive(referenceHz)) return std::nullopt;
    // Semitones above C(1), nine below the reference A. Any two positive
    // doubles lie within 2 x 1075 octaves of each other, so this stays well
    // inside an int.
    const double semitones = 12.0 * std::log2(frequencyHz / referenceHz) + 9.0;
    // The nearest note: rounding, not truncation, is the point here.
    const double nearest = std::floor(semitones + 0.5);
    const int note = static_cast<int>(nearest);
    const int pitch = ((note % 12) + 12) % 12;
    const int octave = (note - pitch) / 12 + 1;
    PitchNote result;
    result.name = std::string(kPitchNames[static_cast<std::size_t>(pitch)]) + "(" + std::to_string(octave) + ")";
    result.cents = 100.0 * (semitones - nearest);
    return result;
}
