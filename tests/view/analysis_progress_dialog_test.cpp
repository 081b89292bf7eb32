#include "ui/analysis_progress_dialog.h"

#include <gtest/gtest.h>

#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/analysis_request.h"
#include "analysis/spectrum_analyser.h"

namespace {

struct TickableDialog : AnalysisProgressDialog {  // without an event loop its ticks come only from Tick
    using AnalysisProgressDialog::AnalysisProgressDialog;
    void Tick() { OnTimer(kTimerId); }
    void OnTimer(int id) override { barTicks += id == kTimerId; AnalysisProgressDialog::OnTimer(id); }
    int barTicks = 0;
};

// A 441 Hz tone to be analysed 0 ... 2000 Hz in 1 Hz steps.
struct Tone {
    Tone() {
        for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = std::int16_t(1e4 * std::sin(i * M_PI / 50));
        request.endFrequency = 2000.0, request.interval = 1.0, request.steps = 2000;
        request.lastSample = request.recordLength = 88200, request.sampleRate = 44100;
        engine.Configure(request.steps, 0.0, 2000.0, 1.0);
        engine.maxMagnitude = -1.0;  // only completing the spectrum overwrites it
    }
    std::vector<std::int16_t> samples = std::vector<std::int16_t>(88200);
    AnalysisRequest request;
    SpectrumAnalyser engine;
};

// The tone analysed three times: cancelled, run to its end, refused.
TEST(ProgressDialog, ClosesOnlyAfterTheWorkerAndCompletesOnlyARunToItsEnd) {
    Tone tone;
    auto& [samples, request, engine] = tone;

    // Cancel, pressed twice, only asks the worker to stop; the tick after it stopped closes.
    TickableDialog cancelled(engine, request, samples.data(), 88200);
    ASSERT_TRUE(cancelled.Create());
    cancelled.Item<QPushButton>(IDCANCEL)->click();
    cancelled.Item<QPushButton>(IDCANCEL)->click();
    EXPECT_FALSE(cancelled.Ended());
    while (engine.job.done.load(std::memory_order_acquire) != 1) QThread::msleep(2);
    cancelled.Tick();
    EXPECT_EQ(cancelled.result(), IDCANCEL);
    EXPECT_EQ(engine.running, 0);  // Finish ran all the same
    EXPECT_EQ(engine.maxMagnitude, -1.0);

    // The bar shows trunc(100 x passes / 16) (a 65536-point transform); all passes are not yet done.
    TickableDialog dialog(engine, request, samples.data(), 88200);
    ASSERT_TRUE(dialog.Create());
    while (engine.job.done.load(std::memory_order_acquire) != 1) QThread::msleep(2);
    engine.job.done.store(0);
    for (const int passes : {15, 16}) {
        engine.job.passesDone.store(passes);
        dialog.Tick();
        EXPECT_EQ(dialog.Item<QProgressBar>(AnalysisProgressDialog::kProgressId)->value(), passes == 15 ? 93 : 100);
    }
    EXPECT_FALSE(dialog.Ended());
    engine.job.done.store(1);
    dialog.Tick();
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(engine.maxMagnitude, *std::max_element(engine.spectrum.get(), engine.spectrum.get() + 2001));

    request.steps = 1999;  // does not match the configured engine
    TickableDialog refused(engine, request, samples.data(), 88200);
    ASSERT_TRUE(refused.Create());
    refused.Tick();
    EXPECT_EQ(refused.result(), IDCANCEL);
}

// With the bar moved only every 5 s, the dialog of a transform of some milliseconds closes with its result before
// the bar's first tick.
TEST(ProgressDialog, ClosesAsSoonAsTheWorkerIsDone) {
    Tone tone;
    TickableDialog dialog(tone.engine, tone.request, tone.samples.data(), 88200);
    dialog.SetTickInterval(5000);
    EXPECT_EQ(std::pair(dialog.DoModal(), dialog.barTicks), std::pair(IDOK, 0));
}

}  // namespace
