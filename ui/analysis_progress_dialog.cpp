#include "ui/analysis_progress_dialog.h"

#include <QLabel>
#include <QProgressBar>

#include "analysis/spectrum_analyser.h"
#include "cycle/analyse_recording.h"
#include "ui/toolkit/data_exchange.h"

AnalysisProgressDialog::AnalysisProgressDialog(SpectrumAnalyser& engine,
                                               const AnalysisRequest& request,
                                               const std::int16_t* samples,
                                               std::int32_t sampleCount, Spectrum& spectrum,
                                               QWidget* parent)
    : Dialog(parent),
      engine(engine),
      request(request),
      samples(samples),
      sampleCount(sampleCount),
      spectrum(spectrum) {
    SetTemplate(148, 63, "Analysis");
    QLabel* text = AddStatic(kTextId, "Doing analysis ...", DialogRect{7, 10, 134, 10});
    text->setAlignment(Qt::AlignCenter);
    AddProgressBar(kProgressId, DialogRect{7, 26, 134, 11});
    AddButton(IDCANCEL, "Cancel", DialogRect{49, 43, 50, 14});
}

void AnalysisProgressDialog::SetTickInterval(int milliseconds) {
    tickInterval = milliseconds > 0 ? milliseconds : 1;
}

bool AnalysisProgressDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    started = engine.StartTransform(request, samples, sampleCount);
    if (progressBar != nullptr) {
        progressBar->setRange(0, 100);
    }
    SetTimer(kTimerId, tickInterval);
    // The bar need not move often, but the result should show as soon as it
    // is ready: a second, fast timer reads only the engine's Done, an atomic
    // load that costs the worker nothing.
    SetTimer(kDoneTimerId, kDoneTimerMilliseconds);
    return true;
}

void AnalysisProgressDialog::OnTimer(int id) {
    if (!started) {
        // Nothing runs that could ever set `done`: close as a cancelled run
        // rather than wait forever.
        StopPolling();
        Dialog::OnCancel();
        return;
    }
    if (id == kTimerId) {
        ShowProgress();
    }
    // Once Done, the whole spectrum is written and the worker touches
    // nothing more.
    if (!engine.Done()) {
        return;
    }
    StopPolling();
    if (CompleteTransform(engine, request, spectrum)) {
        Dialog::OnOK();
    } else {
        Dialog::OnCancel();
    }
}

void AnalysisProgressDialog::ShowProgress() {
    const TransformProgress progress = engine.Progress();
    const std::int32_t passes = progress.passesDone;
    const int position =
        progress.passCount > 0
            ? static_cast<std::int16_t>(static_cast<std::int64_t>(passes * 100.0 / progress.passCount))
            : 0;
    if (progressBar != nullptr) {
        progressBar->setValue(position);
    }
}

void AnalysisProgressDialog::StopPolling() {
    KillTimer(kTimerId);
    KillTimer(kDoneTimerId);
}

void AnalysisProgressDialog::OnCancel() {
    engine.RequestCancel();
}

void AnalysisProgressDialog::DoDataExchange(DataExchange& dx) {
    DDX_Control(dx, kProgressId, progressBar);
}
