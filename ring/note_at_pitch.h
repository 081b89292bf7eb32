#pragma once
#include <optional>
#include <string>

// The nearest equal-tempered note at any reference pitch. partials/
// note_names.cpp's NoteName stays at A = 440 Hz and whole cents; a ring is
// often tuned to another A (435 Hz, 442 Hz) and its nominals are compared
// to the hundredth of a cent. Plain C++, any thread.

struct PitchNote {
    // The pitch name and octave as NoteName writes them: "C", "Db", "D",
    // "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B", then the octave in
    // brackets, the octave from middle C up being 1: "A(1)" is the A of the
    // reference pitch, "C(1)" the C nine semitones below it, "B(0)" the B
    // below that.
    std::string name;
    // Cents from that note, -50 (inclusive) to +50 (exclusive): a frequency
    // half-way between two notes is named after the upper one.
    double cents = 0.0;
};

// The equal-tempered note nearest to `frequencyHz` in the scale where A(1)
// is `referenceHz`. Empty unless both are finite and above zero.
std::optional<PitchNote> NoteAtPitch(double frequencyHz, double referenceHz);
