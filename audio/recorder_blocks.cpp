// The recorder's hand-over with the capture thread: arming and stopping on
// the owner's side, one block at a time on the capture thread's.
#include <algorithm>
#include <thread>
#include <utility>

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

}  // namespace

void Recorder::Arm(std::int32_t length, bool waitForTrigger, int triggerLevel) {
    if (!waitForTrigger) {
        ArmWith(length, RecorderState::Recording);
        return;
    }
    threshold_.store(static_cast<std::int16_t>(triggerLevel * 327), std::memory_order_relaxed);
    ArmWith(length, RecorderState::WaitForTrigger);
}

void Recorder::ArmAtThreshold(std::int32_t length, std::int16_t threshold) {
    threshold_.store(threshold, std::memory_order_relaxed);
    ArmWith(length, RecorderState::WaitForTrigger);
}

void Recorder::ArmWith(std::int32_t length, RecorderState state) {
    // The state is Stopped here, but a block that read Recording just before
    // a Stop may still be copying into the old samples: let it finish (a few
    // microseconds) before they are replaced.
    while (copying_.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
    samples_.assign(static_cast<std::size_t>(std::max(length, 0)), 0);
    targetLength_.store(length, std::memory_order_relaxed);
    destination_.store(samples_.data(), std::memory_order_relaxed);
    recordedCount_.store(0, std::memory_order_relaxed);
    // `state_` goes last, with release: a capture thread that sees the new
    // state also sees the new samples, length, count and threshold.
    state_.store(state, std::memory_order_release);
}

void Recorder::SetTriggerLevel(int triggerLevel) {
    threshold_.store(static_cast<std::int16_t>(triggerLevel * 327), std::memory_order_relaxed);
}

void Recorder::Stop() {
    // Sequentially consistent, paired with `copying_`: see ArmWith.
    state_.store(RecorderState::Stopped, std::memory_order_seq_cst);
}

bool Recorder::TakeRecording(Recording& recording) {
    // The capture thread stores Stopped (release) only after the last
    // sample, and never writes again until the next Arm.
    if (samples_.empty() || State() != RecorderState::Stopped) return false;
    if (RecordedCount() < targetLength_.load(std::memory_order_relaxed)) return false;
    Recording made;
    made.sampleRate = kCaptureRate;
    made.recordedAt = std::chrono::system_clock::now();
    recording = WithSamples(made, std::move(samples_));
    samples_ = {};
    destination_.store(nullptr, std::memory_order_relaxed);
    return true;
}

bool Recorder::CountDownOverload() {
    // Only this side counts down; the capture thread only reloads the hold,
    // so the count never goes below zero.
    if (overloadCount_.load() <= 0) return false;
    overloadCount_.fetch_sub(1);
    return true;
}

std::int16_t Recorder::CopyIntoRecording(const std::int16_t* block, std::int32_t count) {
    // The counts were set by ArmWith before it published `state_`, which the
    // caller has loaded with acquire.
    const std::int32_t recorded = recordedCount_.load(std::memory_order_relaxed);
    const std::int32_t target = targetLength_.load(std::memory_order_relaxed);
    if (recorded + count >= target) count = std::max(target - recorded, 0);
    std::int16_t* to = destination_.load(std::memory_order_relaxed) + recorded;
    std::copy(block, block + count, to);
    recordedCount_.store(recorded + count, std::memory_order_release);
    return PositivePeak(block, count);
}

void Recorder::OnInputBlock(const std::int16_t* block, std::int32_t sampleCount) {
    if (sampleCount < 0) sampleCount = 0;
    // Announce a possible write into the samples before reading the state
    // (both sequentially consistent): either a Stop on the owner's thread is
    // seen here, or ArmWith sees `copying_` and waits for it.
    copying_.store(1, std::memory_order_seq_cst);
    RecorderState state = state_.load(std::memory_order_seq_cst);
    std::int16_t peak = 0;
    if (state != RecorderState::Recording) {
        peak = PositivePeak(block, sampleCount);
        if (peak > threshold_.load(std::memory_order_relaxed) && state == RecorderState::WaitForTrigger) {
            // The owner may stop the recorder at the same moment; its Stopped
            // must win over the trigger. On failure `state` receives what the
            // owner stored.
            if (state_.compare_exchange_strong(state, RecorderState::Recording, std::memory_order_acq_rel)) {
                state = RecorderState::Recording;
            }
        }
    }
    bool done = false;
    if (state == RecorderState::Recording) {
        peak = CopyIntoRecording(block, sampleCount);
        if (recordedCount_.load(std::memory_order_relaxed) >= targetLength_.load(std::memory_order_relaxed)) {
            // Release publishes the copied samples to the owner, which takes
            // them once WM_RECORDING_DONE arrives. Only a recording that is
            // still ours is reported complete.
            RecorderState expected = RecorderState::Recording;
            done = state_.compare_exchange_strong(expected, RecorderState::Stopped, std::memory_order_acq_rel);
        }
    }
    copying_.store(0, std::memory_order_release);
    blockPeak_.store(peak, std::memory_order_relaxed);
    if (peak > kOverloadPeak) overloadCount_.store(kOverloadHold, std::memory_order_relaxed);
    if (owner_ != nullptr) owner_->PostRecorderMessage(done ? WM_RECORDING_DONE : WM_RECORDER_LEVEL);
}
