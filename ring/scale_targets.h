#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ring/ring.h"

// Where each bell's nominal should lie: cents above the tenor's nominal, from
// the ring's scale and temperament, a founder's file or a figure typed for
// the bell. Plain C++, any thread.

// Cents above the tenor of scale degree `degree` (0 the tenor, 1 the next bell
// up, ...): 1200 for each whole octave (7 degrees of a major scale, 12 of a
// chromatic one) plus the step within it, from these tables (cents):
//   major      equal     0 200 400 500 700 900 1100
//              just      0 203.91 386.31 498.04 701.96 884.36 1088.27
//              meantone  0 193.16 386.31 503.42 696.58 889.74 1082.89
//   chromatic  equal     0 100 200 ... 1100
//              just      0 111.73 203.91 315.64 386.31 498.04 590.22 701.96
//                        813.69 884.36 1017.60 1088.27
//              meantone  0 76.05 193.16 310.26 386.31 503.42 579.47 696.58
//                        772.63 889.74 1006.84 1082.89
// The figures are the ones tuners quote, to the hundredth of a cent, so a
// nominal tuned to a quoted figure shows no deviation. Without stretch.
// Empty for Temperament::Founder (no scale) and for a negative degree.
std::optional<double> ScaleCents(RingScale scale, Temperament temperament, int degree);

// The target of bell `bell` (1 the treble ... settings.bellCount the tenor)
// in cents above the tenor:
//  - the bell's own typed target when `details` has one (taken as it is:
//    no stretch);
//  - with Temperament::Founder, the founder's figure for the bell
//    (settings.founderTargets, no stretch); the tenor without a figure
//    has 0, its own pitch; any other bell the file does not name has none;
//  - otherwise ScaleCents of degree bellCount - bell, plus
//    settings.stretchCentsPerOctave x target / 1200.
// Empty for a bell outside 1 ... bellCount. `details` may be null (a bell
// without details); its `number` is not read, `bell` says which bell it is.
std::optional<double> TargetCents(const RingSettings& settings, const RingBell* details, int bell);

// Why a founder's file of targets was refused; FounderFileErrorText says it
// in words.
enum FounderFileError : std::int16_t {
    kFounderFileUnreadable = 1,  // cannot be opened or read, no regular file, over 64 KiB
    kFounderLineNoComma = 2,     // a line without "bell,cents"
    kFounderBadBell = 3,         // the bell is not a whole number from 1 to 64
    kFounderBadCents = 4,        // the cents are not one finite number
    kFounderDuplicate = 5,       // a bell given twice
    kFounderEmpty = 6,           // no bell given at all
};
std::string FounderFileErrorText(std::int16_t code);

// Parses a founder's targets: one "bell,cents" line per bell, cents above
// the tenor, white space around both allowed, "#" starting a comment, blank
// lines skipped, CR LF line ends read as LF. Numbers are read as
// data/number_text.h's ParseWholeDouble reads them (so "1e1" is bell 10);
// the bell must come out a whole number from 1 to 64. The targets keep the
// file's order. On failure returns false with `code` and the 1-based `line`
// (0 when the fault is the text as a whole); `targets` is then unchanged.
bool ParseFounderTargets(std::string_view text, std::vector<FounderTarget>& targets, std::int16_t& code,
                         int& line);

// Reads and parses the file at `path` (a regular file of at most 64 KiB).
bool ReadFounderTargets(const std::string& path, std::vector<FounderTarget>& targets, std::int16_t& code,
                        int& line);
