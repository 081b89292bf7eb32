// Soak: 200 record-analyse cycles in continuous mode, and the heap in use
// afterwards is what it was after a warm-up. Its real use is the ASan build,
// where any leak also fails the run.
#include <cstdio>

#include "cycle_fixture.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
static std::size_t HeapInUse() { return __sanitizer_get_current_allocated_bytes(); }
#else
#include <malloc.h>
static std::size_t HeapInUse() { return mallinfo2().uordblks; }
#endif

namespace {

// The bell sounding without decay: every block is a strike.
std::int32_t SteadyBell(std::int64_t blockIndex, std::int16_t* block, std::int32_t capacity) {
    for (std::int32_t i = 0; i < capacity; ++i) block[i] = BellAt(static_cast<double>(blockIndex * capacity + i) / 44100.0, false);
    return capacity;
}

TEST_F(CycleTest, TwoHundredContinuousCyclesKeepTheHeapSteady) {
    capture = std::make_shared<ScriptedCapture>(ScriptedCapture::Generator(SteadyBell));
    SetCaptureSourceFactory(capture->Factory());
    window = std::make_unique<MainWindow>();
    ASSERT_TRUE(window->Create());
    MainWindow& w = *window;
    w.progressTickMilliseconds = 1;
    w.Item<QCheckBox>(kWaitForTrigger)->click();
    w.Item<QRadioButton>(kContinuous)->click();
    Type(kInterval, "5");  // two blocks a recording
    Press(kStartAnalysis);
    const auto runCycles = [&](int cycles) {
        for (int i = 0; i < cycles; ++i) {
            w.table.partialsValid = 0;
            Deliver(2);
            ASSERT_EQ(w.sound.state.load(), RecorderState::Recording) << "armed again";
            ASSERT_TRUE(w.table.partialsValid) << "cycle " << i;
        }
    };
    runCycles(50);
    const std::size_t warm = HeapInUse();
    runCycles(200);
    const std::size_t after = HeapInUse();
    std::printf("heap in use: %zu bytes after the warm-up, %zu after 200 more cycles\n", warm, after);
    EXPECT_NEAR(w.table.nominal, kBellNominal, 5.0);
    // Slack for allocator bookkeeping; a leak of 100 bytes a cycle exceeds it.
    EXPECT_LT(after, warm + 16 * 1024);
    Press(kStopAnalysis);
    EXPECT_EQ(w.sound.state.load(), RecorderState::Stopped);
}

}  // namespace
