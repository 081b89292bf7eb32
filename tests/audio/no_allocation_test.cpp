// The per-block path allocates nothing: global operator new is counted.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "audio/recorder.h"
#include "tests/support/scripted_capture.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void* operator new(std::size_t size) {
    if (void* p = operator new(size, std::nothrow)) return p;
    std::abort();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

// Counts messages without allocating.
class CountingOwner : public RecorderOwner {
public:
    void PostRecorderMessage(unsigned message) override {
        (message == WM_RECORDING_DONE ? dones : levels).fetch_add(1, std::memory_order_relaxed);
    }
    std::atomic<int> levels{0};
    std::atomic<int> dones{0};
};

TEST(NoAllocation, OnInputBlockThroughWaitTriggerRecordDoneAndStop) {
    SoundBuffer sound;
    CountingOwner owner;
    sound.owner = &owner;
    sound.overloadHold = kOverloadHold;
    std::vector<std::int16_t> quiet(kCaptureBlockSamples, 100);
    std::vector<std::int16_t> loud(kCaptureBlockSamples, 30000);
    long during = 0;
    int blocks = 0;
    for (int round = 0; round < 250; ++round) {
        sound.ArmRecording(5 * kCaptureBlockSamples + 17, true, 10);
        for (int b = 0; b < 12; ++b) {
            const std::vector<std::int16_t>& block = b % 4 == 1 ? loud : quiet;
            const long before = allocations.load();
            OnInputBlock(sound, block.data(), b == 7 ? 4000 : kCaptureBlockSamples);
            during += allocations.load() - before;
            ++blocks;
        }
        if (round % 2 == 1) sound.StopRecording();
    }
    EXPECT_EQ(blocks, 3000);
    EXPECT_EQ(owner.dones.load(), 250);
    EXPECT_EQ(owner.levels.load(), 2750);
    EXPECT_EQ(during, 0);
}

// The whole loop of the capture thread: read, OnInputBlock, post.
TEST(NoAllocation, CaptureThreadLoop) {
    SoundBuffer sound;
    CountingOwner owner;
    auto script = std::make_shared<ScriptedCapture>(
        [](std::int64_t index, std::int16_t* block, std::int32_t capacity) {
            for (std::int32_t i = 0; i < capacity; ++i) block[i] = static_cast<std::int16_t>(index % 30000);
            return capacity;
        });
    const long beforeOpen = allocations.load();
    ASSERT_EQ(OpenRecorder(sound, &owner, script->Factory()), 0);
    EXPECT_GT(allocations.load(), beforeOpen);  // the counter is live: opening allocates
    script->Deliver(10);
    ASSERT_TRUE(script->WaitProcessed(10));
    sound.ArmRecording(200 * kCaptureBlockSamples, false, 0);
    const long before = allocations.load();
    script->Deliver(2000);
    ASSERT_TRUE(script->WaitProcessed(2010));
    const long during = allocations.load() - before;
    CloseRecorder(sound);
    EXPECT_EQ(during, 0);
    EXPECT_EQ(owner.dones.load(), 1);
}

}  // namespace
