#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "analysis/spectrum_analyser.h"
#include "tests/analysis/reference.h"

namespace {

// Polls like the progress dialog: acquire load of done, never a wait on the
// worker itself.
void WaitForDone(SpectrumAnalyser& engine) {
    while (engine.job.done.load(std::memory_order_acquire) == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

TEST(SpectrumAnalyser, RunsATransformOnItsWorkerAndPublishesTheSpectrum) {
    const std::vector<std::int16_t> sound = BellSamples(88200);
    const AnalysisRequest request = MakeRequest(0.5, 20.0, 7960, 88200);
    SpectrumAnalyser engine;
    engine.Configure(request.steps, 20.0, 4000.0, 0.5);
    ASSERT_TRUE(engine.StartTransform(request, sound.data(), 88200));
    EXPECT_EQ(engine.running, 1);
    WaitForDone(engine);
    engine.Finish();
    EXPECT_EQ(engine.running, 0);
    EXPECT_FALSE(engine.job.workBuffer);
    EXPECT_EQ(engine.job.passesDone.load(), 17);
    const std::vector<double> expected = LiteralSpectrum(request, sound);
    for (std::int32_t j = 0; j <= request.steps; ++j) ASSERT_NEAR(engine.spectrum[j], expected[j], 1e-9 * 100);
    // Idle again: the next transform is accepted.
    EXPECT_TRUE(engine.StartTransform(request, sound.data(), 88200));
    WaitForDone(engine);
    engine.Finish();
}

TEST(SpectrumAnalyser, SecondStartWhileRunningIsRefusedAndLeavesTheFirstAlone) {
    const std::vector<std::int16_t> sound = BellSamples(88200);
    // The refusal rests on `running`, so it holds whether or not the first
    // worker has already finished.
    const AnalysisRequest first = MakeRequest(0.5, 20.0, 2000, 88200);
    AnalysisRequest second = MakeRequest(1.0, 0.0, 2000, 88200);
    SpectrumAnalyser engine;
    engine.Configure(first.steps, 20.0, 1020.0, 0.5);
    ASSERT_TRUE(engine.StartTransform(first, sound.data(), 88200));
    EXPECT_FALSE(engine.StartTransform(second, sound.data(), 88200));
    EXPECT_EQ(engine.job.transformSize, 1 << 17);
    EXPECT_EQ(engine.job.interval, 0.5);
    WaitForDone(engine);
    engine.Finish();
    EXPECT_EQ(engine.job.passesDone.load(), 17);
    const std::vector<double> expected = LiteralSpectrum(first, sound);
    for (std::int32_t j = 0; j <= first.steps; ++j) ASSERT_NEAR(engine.spectrum[j], expected[j], 1e-9 * 100);
}

TEST(SpectrumAnalyser, RefusesARequestThatDoesNotMatchTheConfiguredSpectrum) {
    SpectrumAnalyser engine;
    const AnalysisRequest request = MakeRequest(0.5, 20.0, 100, 88200);
    EXPECT_FALSE(engine.StartTransform(request, nullptr, 0));  // no spectrum yet
    engine.Configure(99, 20.0, 70.0, 0.5);
    EXPECT_FALSE(engine.StartTransform(request, nullptr, 0));
    EXPECT_EQ(engine.running, 0);
}

TEST(SpectrumAnalyser, CancelEndsTheWorkerEarlyAndDoneStillComes) {
    SpectrumAnalyser engine;
    const AnalysisRequest request = MakeRequest(0.05, 0.0, 1000, 88200);
    engine.Configure(1000, 0.0, 50.0, 0.05);
    ASSERT_TRUE(engine.StartTransform(request, nullptr, 0));
    engine.RequestCancel();
    WaitForDone(engine);
    EXPECT_LE(engine.job.passesDone.load(), engine.job.passCount);
    EXPECT_EQ(engine.job.cancelRequested.load(), 1);
    engine.Finish();
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
