// Soak: 200 record-analyse cycles in continuous mode, and the heap in use
// afterwards is what it was after a warm-up. Short recordings (5 Hz, 8820
// samples, two blocks) keep it quick; its real use is the ASan build, where
// any leak also fails the run.
#include <QCheckBox>
#include <QRadioButton>
#include <cstdio>

#include "cycle_fixture.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define CAMPANOR_SANITIZER_HEAP 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define CAMPANOR_SANITIZER_HEAP 1
#endif

#ifdef CAMPANOR_SANITIZER_HEAP
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

using namespace MainWindowIds;

namespace {

// Bytes the program has allocated and not freed.
std::size_t HeapInUse() {
#ifdef CAMPANOR_SANITIZER_HEAP
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

// The test bell's partials sounding without decay: every block is a strike.
std::int32_t SteadyBell(std::int64_t blockIndex, std::int16_t* block, std::int32_t capacity) {
    const std::vector<BellPartial> bell = TestBell();
    for (std::int32_t i = 0; i < capacity; ++i) {
        const double t = static_cast<double>(blockIndex * capacity + i) / 44100.0;
        double value = 0.0;
        for (const BellPartial& partial : bell) value += 0.5 * partial.amplitude * std::sin(2.0 * M_PI * partial.frequency * t);
        block[i] = static_cast<std::int16_t>(static_cast<std::int32_t>(value));
    }
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
    Type(kInterval, "5");
    Press(kStartAnalysis);
    int analysed = 0;
    const auto runCycles = [&](int cycles) {
        for (int i = 0; i < cycles; ++i) {
            w.table.partialsValid = 0;
            Deliver(2);
            ASSERT_EQ(w.sound.state.load(), RecorderState::Recording) << "armed again";
            ASSERT_TRUE(w.table.partialsValid) << "cycle " << analysed;
            ++analysed;
        }
    };
    runCycles(50);
    const std::size_t warm = HeapInUse();
    runCycles(200);
    const std::size_t after = HeapInUse();
    std::printf("heap in use: %zu bytes after the warm-up, %zu after 200 more cycles\n", warm, after);
    EXPECT_EQ(analysed, 250);
    EXPECT_EQ(w.engine.steps, 1000);
    EXPECT_NEAR(w.table.nominal, kBellNominal, 5.0);
    // Some slack for allocator bookkeeping; a leak of even 100 bytes a cycle
    // would exceed it.
    EXPECT_LT(after, warm + 16 * 1024) << "heap grew from " << warm << " to " << after << " bytes";
    Press(kStopAnalysis);
    EXPECT_EQ(w.sound.state.load(), RecorderState::Stopped);
}

}  // namespace
