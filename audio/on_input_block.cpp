#include <algorithm>

#include "audio/recorder.h"

namespace {

// Largest sample, starting from 0: negative excursions never count.
std::int16_t PositivePeak(const std::int16_t* samples, std::int32_t count) {
    std::int16_t peak = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        if (samples[i] > peak) peak = samples[i];
    }
    return peak;
}

// Copies as much of the block as the recording still lacks and returns the
// peak of what was copied. The counts were set by ArmRecording before it
// published `state`, which the caller has loaded with acquire.
std::int16_t CopyIntoRecording(SoundBuffer& sound, const std::int16_t* block, std::int32_t count) {
    const std::int32_t recorded = sound.recordedCount.load(std::memory_order_relaxed);
    const std::int32_t target = sound.targetLength.load(std::memory_order_relaxed);
    if (recorded + count >= target) count = std::max(target - recorded, 0);
    std::int16_t* to = sound.destination.load(std::memory_order_relaxed) + recorded;
    std::copy(block, block + count, to);
    sound.recordedCount.store(recorded + count, std::memory_order_relaxed);
    return PositivePeak(block, count);
}

}  // namespace

void OnInputBlock(SoundBuffer& sound, const std::int16_t* block, std::int32_t sampleCount) {
    if (sampleCount < 0) sampleCount = 0;
    // Announce a possible write into the samples before reading the state
    // (both sequentially consistent): either a Stop on the user-interface
    // thread is seen here, or ArmRecording sees `copying` and waits for it.
    sound.copying.store(1, std::memory_order_seq_cst);
    RecorderState state = sound.state.load(std::memory_order_seq_cst);
    std::int16_t peak = 0;
    if (state != RecorderState::Recording) {
        peak = PositivePeak(block, sampleCount);
        if (peak > sound.threshold.load(std::memory_order_relaxed) &&
            state == RecorderState::WaitForTrigger) {
            // The user-interface thread may stop the recorder at the same
            // moment; its Stopped must win over the trigger. On failure
            // `state` receives what the user-interface thread stored.
            if (sound.state.compare_exchange_strong(state, RecorderState::Recording,
                                                    std::memory_order_acq_rel)) {
                state = RecorderState::Recording;
            }
        }
    }
    bool done = false;
    if (state == RecorderState::Recording) {
        peak = CopyIntoRecording(sound, block, sampleCount);
        if (sound.recordedCount.load(std::memory_order_relaxed) >=
            sound.targetLength.load(std::memory_order_relaxed)) {
            // Release publishes the copied samples to the window, which
            // reads them once WM_RECORDING_DONE arrives. Only a recording
            // that is still ours is reported complete.
            RecorderState expected = RecorderState::Recording;
            done = sound.state.compare_exchange_strong(expected, RecorderState::Stopped,
                                                       std::memory_order_acq_rel);
        }
    }
    sound.copying.store(0, std::memory_order_release);
    sound.blockPeak.store(peak, std::memory_order_relaxed);
    if (peak > kOverloadPeak) sound.overloadCount.store(sound.overloadHold, std::memory_order_relaxed);
    if (sound.owner != nullptr) {
        sound.owner->PostRecorderMessage(done ? WM_RECORDING_DONE : WM_RECORDER_LEVEL);
    }
}
