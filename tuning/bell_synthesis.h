#pragma once
#include <cstdint>
#include <vector>

#include "tuning/tuning_report.h"

// A bell built from its tuning report, to hear it as measured or as it
// would sound tuned. Plain C++, any thread.

// The peak of a synthesised bell: -3 dB below full scale.
inline constexpr double kSynthesisPeak = 0.70794578438413791 * 32767.0;

// `length` samples at `rateHz` of every named partial that has a level at
// the strike (and its doublet, at the doublet's level) as a sine starting at
// the strike, each decaying by 60 dB in its T60 (a partial without one
// decays like the nominal; with no T60 at all, in 5 s); the phases fixed and
// spread, so the partials never all peak together. `asTuned` moves every
// partial with an ideal to it from the measured nominal, its doublet keeping
// its spacing. The whole is scaled so its largest sample is kSynthesisPeak,
// then truncated to 16 bits. Empty when no partial has a level.
std::vector<std::int16_t> SynthesiseBell(const TuningReport& report, bool asTuned, std::int32_t length,
                                         double rateHz);
