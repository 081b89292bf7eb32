#pragma once
#include <cstdint>
#include <vector>

#include "data/recording.h"

// Plays a sound through the recorder as if it came from the sound card, so
// that a file is recorded exactly as a live bell would be.

struct CaptureResult {
    bool recorded = false;            // false: the trigger never fired
    std::int32_t startSample = 0;     // input sample at which the recording begins
    std::int32_t paddedSamples = 0;   // zeros appended because the input ended early
    int threshold = 0;                // the sample value the trigger waited for
};

// Arms a recorder of its own for `recordLength` samples (waiting for the
// trigger at triggerLevel x 327, or at `threshold` when that is not
// negative, or not waiting) and hands the input to its OnInputBlock in blocks of 8192 samples from its first sample, the last
// block filled up with zeros, then blocks of zeros while a recording still
// lacks samples. The recording starts with the first block whose largest
// positive sample exceeds the threshold (or at sample 0 without the
// trigger). When the recording is complete it goes to `recording` (its
// triggerSample and paddedSamples set, no source file, no time); when the
// input runs out while still waiting, `recorded` is false and `recording`
// is left as it was. Single-threaded; recordLength > 0.
CaptureResult EmulateCapture(const std::vector<std::int16_t>& input, std::int32_t recordLength,
                             bool waitForTrigger, int triggerLevel, Recording& recording,
                             int threshold = -1);
