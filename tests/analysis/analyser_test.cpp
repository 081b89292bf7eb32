#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "analysis/spectrum_analyser.h"
#include "tests/analysis/reference.h"

namespace {

// Polls like the progress dialog: an acquire load of done, never a wait on
// the worker itself.
void WaitForDone(SpectrumAnalyser& engine) {
    while (engine.job.done.load(std::memory_order_acquire) == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

TEST(SpectrumAnalyser, RunsOneTransformAtATimeAndPublishesItsSpectrum) {
    const std::vector<std::int16_t> sound = BellSamples(88200);
    const AnalysisRequest request = MakeRequest(0.5, 20.0, 2000, 88200);
    SpectrumAnalyser engine;
    EXPECT_FALSE(engine.StartTransform(request, sound.data(), 88200));  // not configured
    engine.Configure(1999, 20.0, 1020.0, 0.5);
    EXPECT_FALSE(engine.StartTransform(request, sound.data(), 88200));  // steps differ
    engine.Configure(2000, 20.0, 1020.0, 0.5);
    ASSERT_TRUE(engine.StartTransform(request, sound.data(), 88200));
    // Refused on `running`, whether or not the first worker has finished yet.
    EXPECT_FALSE(engine.StartTransform(MakeRequest(1.0, 0.0, 2000, 88200), sound.data(), 88200));
    EXPECT_EQ(engine.job.transformSize, 1 << 17);
    WaitForDone(engine);
    engine.Finish();
    EXPECT_EQ(engine.running, 0);
    EXPECT_FALSE(engine.job.workBuffer);
    EXPECT_EQ(engine.job.passesDone.load(), 17);
    const std::vector<double> expected = LiteralSpectrum(request, sound);
    for (std::int32_t j = 0; j <= request.steps; ++j) ASSERT_NEAR(engine.spectrum[j], expected[j], 1e-7);
    EXPECT_TRUE(engine.StartTransform(request, sound.data(), 88200));  // idle again
    WaitForDone(engine);
    engine.Finish();
}

TEST(SpectrumAnalyser, CancelStopsTheWorkerAndDoneStillComes) {
    SpectrumAnalyser engine;
    engine.Configure(1000, 0.0, 50.0, 0.05);
    ASSERT_TRUE(engine.StartTransform(MakeRequest(0.05, 0.0, 1000, 88200), nullptr, 0));
    engine.RequestCancel();
    WaitForDone(engine);  // hangs if a cancelled worker never publishes done
    engine.Finish();
    EXPECT_EQ(engine.running, 0);
}

TEST(SpectrumAnalyser, DestroyingOrReconfiguringAWorkingEngineJoinsItsWorker) {
    const std::vector<std::int16_t> sound = BellSamples(88200);
    const AnalysisRequest request = MakeRequest(0.05, 0.0, 1000, 88200);
    {
        SpectrumAnalyser engine;
        engine.Configure(1000, 0.0, 50.0, 0.05);
        ASSERT_TRUE(engine.StartTransform(request, sound.data(), 88200));
    }
    SpectrumAnalyser engine;
    engine.Configure(1000, 0.0, 50.0, 0.05);
    ASSERT_TRUE(engine.StartTransform(request, sound.data(), 88200));
    engine.Configure(10, 0.0, 5.0, 0.5);
    EXPECT_EQ(engine.running, 0);
    EXPECT_EQ(engine.job.done.load(), 1);
    engine.Finish();  // what the progress dialog still does; harmless
}

}  // namespace
