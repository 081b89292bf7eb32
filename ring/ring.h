#pragma once
#include <optional>
#include <string>
#include <vector>

// A ring of bells as a tuner states it: the ring's settings and each bell's
// details. Bell 1 is the treble (the highest), bell `bellCount` the tenor.
// Plain values, no Qt; the project file keeps them, the outer and inner
// tuning read them.

// The scale the bells' nominals should follow, up from the tenor.
enum class RingScale {
    Major,      // a diatonic major scale: rings hung for change ringing
    Chromatic,  // every semitone: chimes and carillons
};

// How the scale's steps are tuned.
enum class Temperament {
    Equal,     // 100 cents a semitone
    Just,      // pure intervals, the usual choice for English rings in the first half of the 20th century
    Meantone,  // quarter-comma meantone, historic carillons
    Founder,   // the founder's own figures: a file of "bell,cents" lines
};

// One target typed in a founder's file: cents above the tenor for a bell.
struct FounderTarget {
    int bell = 0;
    double cents = 0.0;
};

struct RingSettings {
    std::string name;
    std::string place;
    int bellCount = 8;                // 1 ... 64
    double referencePitchHz = 440.0;  // the A the ring's pitch is given against
    RingScale scale = RingScale::Major;
    Temperament temperament = Temperament::Equal;
    // With Temperament::Founder: the file's name (as the tool and reports
    // show it) and its targets.
    std::string founderFile;
    std::vector<FounderTarget> founderTargets;
    double stretchCentsPerOctave = 0.0;  // added to the scale's targets, not to a founder's
    int anchorBell = 0;                  // the bell that fixes the pitch; 0 = the tenor
    double toleranceCents = 10.0;        // deviations within it are in tune
    // The ideal of inner tuning (the tuning panel's): "just", "tempered" or
    // a founder's ideal file's name.
    std::string innerIdeal = "just";
};

struct RingBell {
    int number = 0;  // 1 = treble ... bellCount = tenor
    std::string label;
    std::optional<double> weightKg;
    std::optional<double> diameterMm;
    // A target typed for this bell, cents above the tenor: overrides the scale's.
    std::optional<double> targetCents;
    // The bell may not be tuned (an old bell kept as it is): it may be the anchor.
    bool mayNotBeTuned = false;
};
