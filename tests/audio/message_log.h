#pragma once
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "data/recorder_owner.h"
#include "data/sound_buffer.h"

// A RecorderOwner for the recorder tests. Keeps the first messages in order
// (in a fixed array: posting allocates nothing), counts them, and notes the
// sound's state and recordedCount at the moment WM_RECORDING_DONE is posted.
// With HoldFirstMessage, the first post waits until ReleaseFirstMessage, so
// a test can arm a recording at a known block of a device that runs faster
// than real time. Safe for one posting thread and any number of readers.
class MessageLog : public RecorderOwner {
public:
    static constexpr int kKept = 64;

    explicit MessageLog(const SoundBuffer* sound) : sound(sound) {}

    void PostRecorderMessage(unsigned message) override {
        std::unique_lock lock(mutex);
        if (count == 0 && holdFirst) changed.wait(lock, [&] { return !holdFirst; });
        if (count < kKept) kept[static_cast<std::size_t>(count)] = message;
        ++count;
        if (message == WM_RECORDING_DONE) {
            ++dones;
            stateAtDone = sound->state.load(std::memory_order_acquire);
            recordedAtDone = sound->recordedCount.load(std::memory_order_relaxed);
        } else if (message == WM_RECORDER_LEVEL) {
            ++levels;
        }
        changed.notify_all();
    }

    void HoldFirstMessage() {
        std::lock_guard lock(mutex);
        holdFirst = true;
    }
    void ReleaseFirstMessage() {
        std::lock_guard lock(mutex);
        holdFirst = false;
        changed.notify_all();
    }
    // Waits until `total` messages of any kind have been posted.
    bool WaitForCount(int total, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return count >= total; });
    }
    bool WaitForDone(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return dones > 0; });
    }

    int Count() const { std::lock_guard lock(mutex); return count; }
    int Levels() const { std::lock_guard lock(mutex); return levels; }
    int Dones() const { std::lock_guard lock(mutex); return dones; }
    unsigned At(int index) const { std::lock_guard lock(mutex); return kept[static_cast<std::size_t>(index)]; }
    RecorderState StateAtDone() const { std::lock_guard lock(mutex); return stateAtDone; }
    std::int32_t RecordedAtDone() const { std::lock_guard lock(mutex); return recordedAtDone; }

private:
    const SoundBuffer* sound;
    mutable std::mutex mutex;
    std::condition_variable changed;
    bool holdFirst = false;
    std::array<unsigned, kKept> kept{};
    int count = 0;
    int levels = 0;
    int dones = 0;
    RecorderState stateAtDone = RecorderState::Analysing;
    std::int32_t recordedAtDone = -1;
};
