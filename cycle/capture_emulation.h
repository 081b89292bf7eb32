#pragma once
#include <cstdint>
#include <vector>

#include "data/sound_buffer.h"

// Plays a sound through the recorder as if it came from the sound card, so
// that a file is recorded exactly as a live bell would be.

struct CaptureResult {
    bool recorded = false;            // false: the trigger never fired
    std::int32_t startSample = 0;     // input sample at which the recording begins
    std::int32_t paddedSamples = 0;   // zeros appended because the input ended early
    int threshold = 0;                // the sample value the trigger waited for
};

// Arms `sound` for `recordLength` samples (waiting for the trigger at
// triggerLevel x 327, or at `threshold` when that is not negative, or not
// waiting) and hands the input to the recorder's
// OnInputBlock in blocks of 8192 samples from its first sample, the last
// block filled up with zeros, then blocks of zeros while a recording still
// lacks samples. The recording starts with the first block whose largest
// positive sample exceeds the threshold (or at sample 0 without the
// trigger). When the recording is complete the sound is finished
// (FinishRecording: state Stopped, soundState Recorded). When the input
// runs out while still waiting, the recorder is stopped and `recorded` is
// false. Single-threaded; recordLength > 0.
CaptureResult EmulateCapture(const std::vector<std::int16_t>& input, std::int32_t recordLength,
                             bool waitForTrigger, int triggerLevel, SoundBuffer& sound,
                             int threshold = -1);
