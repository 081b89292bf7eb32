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
    }
    std::vector<std::int16_t> samples = std::vector<std::int16_t>(88200);
    AnalysisRequest request;
    SpectrumAnalyser engine;
    Spectrum spectrum;  // what the dialogs complete
};

// The tone analysed three times: cancelled, run to its end, refused.
TEST(ProgressDialog, ClosesOnlyAfterTheWorkerAndCompletesOnlyARunToItsEnd) {
    Tone tone;
    auto& [samples, request, engine, spectrum] = tone;

    // Cancel, pressed twice, only asks the worker to stop; the tick after it stopped closes, handing nothing over.
    TickableDialog cancelled(engine, request, samples.data(), 88200, spectrum);
    ASSERT_TRUE(cancelled.Create());
    cancelled.Item<QPushButton>(IDCANCEL)->click();
    cancelled.Item<QPushButton>(IDCANCEL)->click();
    EXPECT_FALSE(cancelled.Ended());
    while (!engine.Done()) QThread::msleep(2);
    cancelled.Tick();
    EXPECT_EQ(std::pair(cancelled.result(), spectrum.Measured()), std::pair(int(IDCANCEL), false));

    // The engine was finished all the same, so the next transform starts; run to its end, the bar is full and the
    // spectrum complete: its maximum at the tone, smoothed.
    TickableDialog dialog(engine, request, samples.data(), 88200, spectrum);
    ASSERT_TRUE(dialog.Create());
    while (!engine.Done()) QThread::msleep(2);
    dialog.Tick();
    EXPECT_EQ(std::pair(dialog.result(), dialog.Item<QProgressBar>(AnalysisProgressDialog::kProgressId)->value()),
              std::pair(int(IDOK), 100));
    ASSERT_TRUE(spectrum.Smoothed());
    const auto top = std::max_element(spectrum.magnitudes.begin(), spectrum.magnitudes.end());
    EXPECT_EQ(std::pair(top - spectrum.magnitudes.begin(), *top), std::pair(std::ptrdiff_t{441}, spectrum.maxMagnitude));

    request.lastSample = 0;  // an empty stretch, which the engine refuses
    TickableDialog refused(engine, request, samples.data(), 88200, spectrum);
    ASSERT_TRUE(refused.Create());
    refused.Tick();
    EXPECT_EQ(std::pair(refused.result(), spectrum.Measured()), std::pair(int(IDCANCEL), true)) << "the spectrum is kept";
}

// With the bar moved only every 5 s, the dialog of a transform of some milliseconds closes with its result before
// the bar's first tick.
TEST(ProgressDialog, ClosesAsSoonAsTheWorkerIsDone) {
    Tone tone;
    TickableDialog dialog(tone.engine, tone.request, tone.samples.data(), 88200, tone.spectrum);
    dialog.SetTickInterval(5000);
    EXPECT_EQ(std::pair(dialog.DoModal(), dialog.barTicks), std::pair(IDOK, 0));
}

}  // namespace
