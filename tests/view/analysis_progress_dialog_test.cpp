#include "ui/analysis_progress_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <functional>
#include <thread>
#include <vector>

#include "analysis/analysis_request.h"
#include "analysis/spectrum_analyser.h"

namespace {

// A dialog whose ticks a test can also fire by hand.
class TickableDialog : public AnalysisProgressDialog {
public:
    using AnalysisProgressDialog::AnalysisProgressDialog;
    void Tick() { OnTimer(kTimerId); }
};

class ProgressDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Two seconds of a 440 Hz tone, analysed 0 ... 2000 Hz in 1 Hz steps.
        samples.resize(88200);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            samples[i] = static_cast<std::int16_t>(10000.0 * std::sin(2.0 * M_PI * 440.0 * i / 44100.0));
        }
        request.endFrequency = 2000.0;
        request.interval = 1.0;
        request.steps = 2000;
        request.lastSample = request.recordLength = 88200;
        request.sampleRate = 44100;
        engine.Configure(request.steps, request.startFrequency, request.endFrequency, request.interval);
        // Markers that only the completion steps overwrite.
        engine.maxMagnitude = -1.0;
        engine.smoothValid = 7;
    }

    // Runs the dialog modally; `during` runs once inside its loop, right
    // after it has been shown.
    int RunModal(AnalysisProgressDialog& dialog, std::function<void()> during = {}) {
        if (during) QTimer::singleShot(0, &dialog, std::move(during));
        return dialog.DoModal();
    }

    void WaitForWorker() {
        for (int i = 0; i < 2000 && engine.job.done.load(std::memory_order_acquire) != 1; ++i) {
            QThread::msleep(5);
        }
        ASSERT_EQ(engine.job.done.load(std::memory_order_acquire), 1);
    }

    void ExpectCompleted() {
        const double* s = engine.spectrum.get();
        EXPECT_DOUBLE_EQ(engine.maxMagnitude, *std::max_element(s, s + request.steps + 1));
        EXPECT_GT(engine.maxMagnitude, 0.0);
        const std::uint8_t stored = engine.smoothValid;
        EXPECT_EQ(stored, engine.Smooth(request.sampleRate, request.lastSample) ? 1 : 0);
        EXPECT_EQ(engine.running, 0);
    }

    void ExpectSkippedCompletion() {
        EXPECT_DOUBLE_EQ(engine.maxMagnitude, -1.0);
        EXPECT_EQ(engine.smoothValid, 7);
        EXPECT_EQ(engine.running, 0);  // Finish ran all the same
        EXPECT_EQ(engine.job.done.load(), 1);
    }

    std::vector<std::int16_t> samples;
    AnalysisRequest request;
    SpectrumAnalyser engine;
};

TEST_F(ProgressDialogTest, AFastTransformStaysUntilTheFirstTickThenClosesWithOK) {
    AnalysisProgressDialog dialog(engine, request, samples.data(), 88200);
    dialog.SetTickInterval(300);
    bool openAfterWorker = false;
    const int result = RunModal(dialog, [&] {
        WaitForWorker();
        openAfterWorker = dialog.isVisible() && !dialog.Ended();
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(openAfterWorker);
    EXPECT_EQ(dialog.windowTitle(), "Analysis");
    EXPECT_EQ(dialog.Item<QLabel>(1042)->text(), "Doing analysis ...");
    EXPECT_EQ(dialog.Item<QPushButton>(IDCANCEL)->text(), "Cancel");
    EXPECT_EQ(dialog.Item<QProgressBar>(1054)->value(), 100);
    ExpectCompleted();
}

TEST_F(ProgressDialogTest, CallsQueuedFromAnotherThreadRunWhileItIsOpen) {
    AnalysisProgressDialog dialog(engine, request, samples.data(), 88200);
    dialog.SetTickInterval(200);
    bool handledWhileOpen = false;
    const int result = RunModal(dialog, [&] {
        // As the recorder's thread posts its level messages to the window.
        std::thread poster([&] {
            QMetaObject::invokeMethod(
                &dialog, [&] { handledWhileOpen = dialog.isVisible() && !dialog.Ended(); },
                Qt::QueuedConnection);
        });
        poster.join();
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(handledWhileOpen);
}

// Cancel (pressed once or twice), Escape and the close box only ask the
// worker to stop; the dialog closes on the tick after it has stopped.
TEST_F(ProgressDialogTest, CancelEscapeAndCloseBoxOnlyAskAndCloseAfterTheWorker) {
    for (const int way : {1, 2, 3, 4}) {  // Cancel once, twice, Escape, close box
        SetUp();
        AnalysisProgressDialog dialog(engine, request, samples.data(), 88200);
        dialog.SetTickInterval(20);
        bool openAfterCancel = false;
        const int result = RunModal(dialog, [&] {
            if (way <= 2) {
                for (int i = 0; i < way; ++i) QTest::mouseClick(dialog.Item<QPushButton>(IDCANCEL), Qt::LeftButton);
            } else if (way == 3) {
                QTest::keyClick(&dialog, Qt::Key_Escape);
            } else {
                dialog.close();
            }
            openAfterCancel = dialog.isVisible() && !dialog.Ended();
        });
        EXPECT_EQ(result, IDCANCEL) << way;
        EXPECT_TRUE(openAfterCancel) << way;
        EXPECT_EQ(engine.job.cancelRequested.load(), 1) << way;
        ExpectSkippedCompletion();
    }
}

TEST_F(ProgressDialogTest, TheBarReaches100OnlyWithEveryPassAndCompletesOnThatTick) {
    TickableDialog dialog(engine, request, samples.data(), 88200);
    dialog.SetTickInterval(1000 * 3600);  // only the test's own ticks
    ASSERT_TRUE(dialog.Create());
    WaitForWorker();
    const std::int32_t passes = engine.job.passCount;
    ASSERT_EQ(passes, 16);  // 65536-point transform

    // Replay the worker's progress as the ticks would have seen it.
    engine.job.done.store(0);
    engine.job.passesDone.store(passes - 1);
    dialog.Tick();
    EXPECT_EQ(dialog.Item<QProgressBar>(1054)->value(), 93);  // trunc(1500 / 16)
    EXPECT_FALSE(dialog.Ended());
    EXPECT_DOUBLE_EQ(engine.maxMagnitude, -1.0);

    engine.job.passesDone.store(passes);
    dialog.Tick();
    EXPECT_EQ(dialog.Item<QProgressBar>(1054)->value(), 100);
    EXPECT_FALSE(dialog.Ended());  // all passes, but the worker has not said done

    engine.job.done.store(1);
    dialog.Tick();
    EXPECT_TRUE(dialog.Ended());
    EXPECT_EQ(dialog.result(), IDOK);
    ExpectCompleted();
}

TEST_F(ProgressDialogTest, ARefusedTransformClosesAsCancelledInsteadOfWaitingForever) {
    request.steps = 1999;  // does not match the configured engine
    AnalysisProgressDialog dialog(engine, request, samples.data(), 88200);
    dialog.SetTickInterval(20);
    EXPECT_EQ(RunModal(dialog), IDCANCEL);
    EXPECT_DOUBLE_EQ(engine.maxMagnitude, -1.0);
    EXPECT_EQ(engine.smoothValid, 7);
}

}  // namespace
