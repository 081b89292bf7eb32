// The record-analyse cycle: "Start analysis", "Stop analysis" and the end of
// a recording, the program's main loop.
#include <QDateTime>

#include "cycle/analyse_recording.h"
#include "app/main_window.h"
#include "audio/recorder.h"
#include "ui/analysis_progress_dialog.h"
#include "ui/toolkit/message_box.h"

AnalysisParameters MainWindow::CurrentParameters() const {
    return AnalysisParameters{request.startFrequency, request.endFrequency, request.interval,
                              speedAdjust,            lowNominal,           highNominal};
}

void MainWindow::ArmRecorder(double interval) {
    SetRecordingStretch(request, interval);
    recordingStopped = false;
    soundState = SoundState::None;
    recorder.Arm(request.recordLength, waitForTrigger, triggerLevel);
}

void MainWindow::OnInputLost() {
    recorder.Close();
    recorder.Stop();
    inputLost = true;
    Refresh();
    MessageBox(this, "The sound input stopped. \"Start analysis\" will try to open it again.");
}

void MainWindow::OnStartAnalysis() {
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
    soundState = SoundState::None;
    table.partialsValid = 0;
    // A live recording is no longer the sound file analysed before.
    request.waveFileName.clear();
    if (!ReadAnalysisParameters()) return;
    ArmRecorder(request.interval);
    Refresh();
}

bool MainWindow::ReadAnalysisParameters() {
    exchangeParameters = true;
    UpdateData(true);  // a range message may appear; the values are checked below
    request.steps = StepsFor(request.startFrequency, request.endFrequency, request.interval);
    AnalysisParameters parameters = CurrentParameters();
    CorrectNominalLimits(parameters);
    lowNominal = parameters.lowNominal;
    highNominal = parameters.highNominal;
    exchangeParameters = true;
    UpdateData(false);
    if (!ParametersAcceptable(parameters, request.steps)) {
        MessageBox(this, "Bad analysis parameters!");
        // The buttons follow a cleared sound and table at once.
        EnableControls();
        return false;
    }
    return true;
}

void MainWindow::OnStopAnalysis() {
    recordingStopped = true;
    recorder.Stop();
    Refresh();
}

bool MainWindow::RunAnalysisProgress() {
    AnalysisProgressDialog progress(engine, request, analysedRecording.Data(), analysedRecording.Length(), spectrum);
    progress.SetTickInterval(progressTickMilliseconds);
    return progress.DoModal() == IDOK;
}

void MainWindow::ShowAnalysisResult() {
    if (NamePartials(spectrum, table, lowNominal, highNominal)) {
        ShowMajorPartials();
        exchangeResults = true;
        tuning = ReportTuning(analysedRecording, request, table, ideal, recordingFacts, recordedSamples);
        tuningStatus = "Measured from the recording.";
        analysedAt = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    } else {
        tuning = TuningReport{};
        tuningStatus = "No partials could be named in this spectrum.";
    }
    ShowTuning();
    // Also when the peak detection refused: the new spectrum is shown.
    view.RefreshAfterAnalysis();
}

bool MainWindow::AnalyseUnderProgress() {
    if (RunAnalysisProgress()) {
        ShowAnalysisResult();
        return true;
    }
    // The spectrum keeps the band PrepareAnalysis gave it, nothing measured.
    return false;
}

void MainWindow::OnRecordingDone() {
    if (recordingStopped) {
        // The last block came in while "Stop analysis" was on its way: the
        // user asked for no analysis, and StopRecording has already left
        // nothing to save.
        Refresh();
        return;
    }
    samplesRecorded = recorder.RecordedCount();
    Refresh();
    if (!recorder.TakeRecording(recording)) return;
    soundState = SoundState::Recorded;
    analysedRecording = recording;
    recordingFacts = DescribeRecording(recording);
    recordedSamples = recording.Length();
    if (!PrepareAnalysis(analysedRecording, speedAdjust, request, spectrum, table)) {
        // Cannot happen for parameters "Start analysis" accepted; the
        // recording stays available for saving.
        Refresh();
        return;
    }
    analysing = true;
    const bool completed = AnalyseUnderProgress();
    analysing = false;
    if (completed) {
        if (continuousMode && !strikes.Add(tuning)) tuningStatus = "This strike was left out of the averages.";
        ShowTuning();
    }
    if (continuousMode && spectrum.Measured()) {
        ArmRecorder(spectrum.interval);
    }
    Refresh();
}
