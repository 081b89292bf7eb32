// The record-analyse cycle: "Start analysis", "Stop analysis" and the end of
// a recording, the program's main loop. The session does the work; the
// window reads its controls, runs the progress dialog and shows the result.
#include <QDateTime>

#include "app/calibration.h"
#include "app/file_commands.h"
#include "app/main_window.h"
#include "data/number_text.h"
#include "tuning/tuning_text.h"
#include "ui/calibration_dialog.h"
#include "audio/recorder.h"
#include "ui/analysis_progress_dialog.h"
#include "ui/toolkit/message_box.h"

void MainWindow::OnInputLost() {
    session.OnInputLost();
    inputLost = true;
    Refresh();
    MessageBox(this, "The sound input stopped. \"Start analysis\" will try to open it again.");
}

void MainWindow::OnStartAnalysis() {
    // The speaker would trigger the recorder and be recorded.
    OnStopPlaying();
    if (inputLost) {
        // Before anything is cleared: a failed reopen keeps the recording.
        const std::int16_t code = recorder.Open(CurrentCaptureSourceFactory());
        if (code != kRecorderOpened) {
            MessageBox(this, RecorderOpenText(code));
            return;
        }
        inputLost = false;
    }
    // Cleared before the checks, so a refused start leaves nothing to save.
    session.ForgetResults();
    if (!ReadAnalysisParameters()) return;
    session.StartLive(parameters, CurrentTriggering());
    Refresh();
}

bool MainWindow::ReadAnalysisParameters() {
    exchangeParameters = true;
    UpdateData(true);  // a range message may appear; the values are checked below
    const std::int32_t steps = StepsFor(parameters.startFrequency, parameters.endFrequency, parameters.interval);
    CorrectNominalLimits(parameters);
    exchangeParameters = true;
    UpdateData(false);
    if (!ParametersAcceptable(parameters, steps)) {
        MessageBox(this, "Bad analysis parameters!");
        // The buttons follow a cleared sound and table at once.
        EnableControls();
        return false;
    }
    return true;
}

void MainWindow::OnStopAnalysis() {
    session.Stop();
    Refresh();
}

bool MainWindow::RunAnalysisProgress(SpectrumAnalyser& engine, const AnalysisRequest& request,
                                     const Recording& analysed, Spectrum& spectrum) {
    AnalysisProgressDialog progress(engine, request, analysed.Data(), analysed.Length(), spectrum);
    progress.SetTickInterval(progressTickMilliseconds);
    return progress.DoModal() == IDOK;
}

void MainWindow::ShowAnalysisResult(AnalysisOutcome outcome) {
    if (outcome == AnalysisOutcome::Refused || outcome == AnalysisOutcome::Cancelled) return;
    shownPass_.clear();
    if (outcome == AnalysisOutcome::Named) {
        ShowMajorPartials();
        exchangeResults = true;
        analysedAt = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    }
    ShowTuning();
    // Also when the peak detection refused: the new spectrum is shown.
    view.RefreshAfterAnalysis();
}

void MainWindow::OnRecordingDone() {
    if (session.Calibrating()) return OnCalibrationDone();
    // A recording that completed while "Stop analysis" was on its way is
    // neither counted nor analysed.
    if (!session.StoppedByUser()) samplesRecorded = recorder.RecordedCount();
    Refresh();
    const AnalysisOutcome outcome = session.OnRecordingDone(
        [this](SpectrumAnalyser& engine, const AnalysisRequest& request, const Recording& analysed, Spectrum& spectrum) {
            return RunAnalysisProgress(engine, request, analysed, spectrum);
        },
        continuousMode, CurrentTriggering());
    ShowAnalysisResult(outcome);
    Refresh();
}

void MainWindow::OnCalibrate() {
    CalibrationDialog ask(calibrationHz);
    if (ask.DoModal() != IDOK) return;
    calibrationHz = ask.referenceHz;
    OnStopPlaying();  // the reference tone is recorded from the trigger too
    if (session.StartCalibration(CurrentTriggering())) Refresh();
}

void MainWindow::OnCalibrationDone() {
    ToneMeasurement tone;
    const std::uint16_t code = session.FinishCalibration(calibrationHz, tone);
    Refresh();
    if (code != kToneMeasured) {
        MessageBox(this, ToneMeasurementText(code));
        return;
    }
    parameters.speedAdjust = tone.speedAdjust;
    exchangeParameters = true;
    UpdateData(false);
    const std::string measured = "Reference " + FormatDouble15(calibrationHz) + " Hz, measured " +
                                 FixedText(tone.measuredHz, 6) + " \u00b1 " + FixedText(tone.uncertaintyHz, 6) +
                                 " Hz: \"Speed Adjust\" is now " + FixedText(tone.speedAdjust, 9) + ".";
    CalibrationResultDialog result(measured, calibrationFile);
    if (result.DoModal() == IDOK && !WriteCalibration(tone.speedAdjust, calibrationFile.c_str())) {
        MessageBox(this, kErrorWritingFile);
    }
}
