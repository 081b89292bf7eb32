// Soak: 300 continuous record-analyse cycles leave the heap in use where it
// was after a warm-up. Its real use is the ASan build, where any leak also fails.
#include "cycle_fixture.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
static std::size_t HeapInUse() { return __sanitizer_get_current_allocated_bytes(); }
#else
#include <malloc.h>
static std::size_t HeapInUse() { return mallinfo2().uordblks; }
#endif

namespace {

TEST_F(CycleTest, TwoHundredContinuousCyclesKeepTheHeapSteady) {
    // The bell sounding without decay: every block is a strike.
    capture = std::make_shared<ScriptedCapture>([](std::int64_t index, std::int16_t* block, std::int32_t capacity) {
        for (std::int32_t i = 0; i < capacity; ++i) block[i] = BellAt(static_cast<double>(index * capacity + i) / 44100.0, false);
        return capacity;
    });
    SetCaptureSourceFactory(capture->Factory());
    window = std::make_unique<MainWindow>();
    ASSERT_TRUE(window->Create());
    window->SetProgressTick(1);
    window->Item<QCheckBox>(kWaitForTrigger)->click();
    window->Item<QRadioButton>(kContinuous)->click();
    SetText(kInterval, "5");  // two blocks a recording
    Press(kStartAnalysis);
    std::size_t warm = 0;
    for (int cycle = 0; cycle < 300; ++cycle) {
        // Qt's text caches fill slowly over the first hundred refreshes of the panel.
        if (cycle == 100) warm = HeapInUse();
        Deliver(2);
        const Bell& bell = window->CurrentBell();  // every strike analysed and averaged, and armed again
        ASSERT_TRUE(bell.strikes.accepted() == cycle + 1 && bell.table.partialsValid &&
                    window->LiveInput().State() == RecorderState::Recording) << cycle;
    }
    EXPECT_NEAR(window->CurrentBell().table.nominal, kBellNominal, 5.0);
    // Slack for allocator bookkeeping; a leak of 100 bytes a cycle exceeds it.
    EXPECT_LT(HeapInUse(), warm + 16 * 1024) << "after the warm-up: " << warm;
}

}  // namespace
