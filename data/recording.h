#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One bell's recording: 16-bit mono samples that never change once made,
// shared read-only by whoever holds a copy (the bell, its analysis, a
// playback), with their rate and where they came from. Copying a Recording
// copies a pointer, never the samples.
struct Recording {
    // Never null for a made recording; empty for "no recording".
    std::shared_ptr<const std::vector<std::int16_t>> samples;
    std::int32_t sampleRate = 44100;  // Hz
    // The sound file's path; empty for a live recording.
    std::string sourceFile;
    // When a live recording was completed (the epoch for a file's).
    std::chrono::system_clock::time_point recordedAt{};
    // The sample of the source at which the recording begins: the first
    // sample of the block that fired the trigger (0 without the trigger).
    std::int64_t triggerSample = 0;
    // Zeros appended because a file ended before the recording was complete.
    std::int32_t paddedSamples = 0;

    const std::int16_t* Data() const { return samples ? samples->data() : nullptr; }
    std::int32_t Length() const { return samples ? static_cast<std::int32_t>(samples->size()) : 0; }
    bool Empty() const { return Length() == 0; }
};

// A recording of the given samples with everything else as in `from`.
Recording WithSamples(const Recording& from, std::vector<std::int16_t> samples);

// Speed adjustment: a new recording of trunc(Length() / factor) samples by
// linear interpolation, so every frequency is multiplied by `factor`; rate,
// source and padding are carried over unchanged (the padding is scaled by the
// analysis, which knows both lengths). `recording` itself is untouched.
// factor must be positive and finite, with Length() / factor below 2^31 - 1.
Recording Stretched(const Recording& recording, double factor);
