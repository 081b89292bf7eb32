#pragma once
#include <optional>

#include "tuning/recording_spectra.h"

// What a partial's envelope says about its decay. Plain C++, any thread.
struct PartialDecay {
    std::optional<double> t60Seconds;  // time to fall by 60 dB; empty when unknown
    // The level beats or bends (a companion too close to resolve, a two-stage
    // decay) more than a clean exponential decay and the noise allow; T60 is
    // then empty.
    bool irregular = false;
    // The fitted decay ln|value| = logStart + slope t (t in s from the first
    // sample), valid over fromSeconds ... toSeconds; `fitted` false when no
    // line could be fitted (too weak, too short).
    bool fitted = false;
    double logStart = 0.0;
    double slope = 0.0;  // 1/s
    double fromSeconds = 0.0;
    double toSeconds = 0.0;
};

// Fits a straight line to the level of `envelope` between its settling at
// the start and `endSeconds` (the recording's end or a second strike),
// over the values at least 20 dB above `noiseVariance` (per value). The fit
// starts after the strike's transient: it is first made on the values from
// 0.15 s on, then extended back while the earlier values agree with it.
// T60 is given when the line falls, the noise leaves its slope known to a
// third and what the line leaves unexplained (slow beats, bends) could not
// move it by more than a tenth.
PartialDecay MeasureDecay(const PartialEnvelope& envelope, double noiseVariance, double endSeconds);
