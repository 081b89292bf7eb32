#include "app/main_window.h"

#include <QProgressBar>
#include <filesystem>
#include <QSlider>

#include "app/calibration.h"
#include "ui/axis_strip.h"
#include "audio/recorder.h"
#include "ui/app_icon.h"
#include "ui/exit_dialog.h"
#include "ui/toolkit/data_exchange.h"
#include "ui/toolkit/message_box.h"
#include "ui/toolkit/scroll_bar.h"
#include "ui/toolkit/spin_button.h"

using namespace MainWindowIds;

MainWindow::MainWindow(const VersionStrings& versions) : Dialog(nullptr), versions_(versions) {
    majorNote.fill("none");
    BuildTemplate();
    ResizableFromDefault();
    ConnectCommands();
}

MainWindow::~MainWindow() {
    // The capture thread posts to this window: stop it before the window goes.
    recorder.Close();
    player.Stop();
}

bool MainWindow::OnInitDialog() {
    Dialog::OnInitDialog();
    setWindowIcon(CampanorIcon());
    fileDescription = versions_.fileDescription;
    productVersion = versions_.productVersion;
    legalNotice = versions_.legalNotice;
    companyName = versions_.companyName;
    CheckRadioButton(kSingleShot, kContinuous, kSingleShot);
    continuousMode = false;
    parameters.speedAdjust = ReadCalibration();
    calibrationFile = std::filesystem::absolute(kCalibrationFileName).string();
    exchangeParameters = true;
    if (volumeMeter != nullptr) volumeMeter->setRange(0, 100);
    const std::int16_t code = recorder.Open(CurrentCaptureSourceFactory());
    if (code != 0) {
        // Without a microphone the window is still good for everything but
        // recording: reading partials, analysing sound files, viewing, saving.
        liveInputOff = true;
        MessageBox(this, std::string(RecorderOpenText(code)) +
                             "\n\nLive recording is off. Reading partials, analysing sound files, "
                             "viewing and saving still work.");
    }
    PrepareStartupSpectrum();
    view.labelFont = font();
    view.SetUp(*this, plotFrame->width(), plotFrame->height(),
               static_cast<PlotFrame*>(plotFrame)->FrameRectIn(this), plotFrame->devicePixelRatioF());
    EnableControls();
    return true;
}

void MainWindow::DoDataExchange(DataExchange& dx) {
    DDX_Control(dx, kTriggerSlider, triggerSlider);
    DDX_Control(dx, kPlotFrame, plotFrame);
    DDX_Control(dx, kVolumeMeter, volumeMeter);
    DDX_Text(dx, kSamples, samplesRecorded);
    DDX_Check(dx, kOverload, overloadShown);
    DDX_Check(dx, kWaitForTrigger, waitForTrigger);
    // The cursor's displays are written, never read back: a frequency shown
    // to 15 digits is not always the exact one, and would move the cursor
    // to the point below when the plot is centred on it again.
    if (!dx.saveAndValidate) {
        DDX_Text(dx, kCursorFrequency, view.cursorFrequency);
        DDX_Text(dx, kCursorAmplitude, view.cursorAmplitude);
        DDX_Text(dx, kBinsPerPixel, view.binsPerPixel);
        DDX_Text(dx, kCursorNote, view.cursorNote);
    }
    DDX_Text(dx, kCompanyName, companyName);
    DDX_Text(dx, kLegalNotice, legalNotice);
    DDX_Text(dx, kFileDescription, fileDescription);
    DDX_Text(dx, kProductVersion, productVersion);
    std::string status = inputLost ? "input lost" : SessionStateText(session.State());
    DDX_Text(dx, kStatus, status);
    // A failed field abandons the rest of the pass, flags included, so a
    // group skipped now is exchanged next time.
    if (dx.Failed()) return;
    if (exchangeParameters) {
        exchangeParameters = false;
        ExchangeParameters(dx);
        if (dx.Failed()) return;
    }
    if (exchangeTrigger) {
        exchangeTrigger = false;
        DDX_Slider(dx, kTriggerSlider, triggerLevel);
    }
    if (exchangeResults) {
        exchangeResults = false;
        ExchangeResults(dx);
        if (dx.Failed()) return;
    }
    if (attachScrollBar) {
        attachScrollBar = false;
        DDX_Control(dx, kScrollBar, scrollBar);
    }
    if (attachSpin) {
        attachSpin = false;
        DDX_Control(dx, kSpin, spin);
    }
}

void MainWindow::ExchangeParameters(DataExchange& dx) {
    const auto text = [&dx](int id, double& value, ParameterRange range) {
        DDX_Text(dx, id, value);
        DDV_MinMaxDouble(dx, value, range.minimum, range.maximum);
    };
    text(kInterval, parameters.interval, kIntervalRange);
    text(kStartFrequency, parameters.startFrequency, kFrequencyRange);
    text(kEndFrequency, parameters.endFrequency, kFrequencyRange);
    text(kSpeedAdjust, parameters.speedAdjust, kSpeedAdjustRange);
    text(kLowNominal, parameters.lowNominal, kFrequencyRange);
    text(kHighNominal, parameters.highNominal, kFrequencyRange);
}

void MainWindow::ExchangeResults(DataExchange& dx) {
    for (std::size_t column = 0; column < kMajorEdits.size(); ++column) {
        const std::size_t partial = static_cast<std::size_t>(kMajorColumnPartial[column]);
        DDX_Text(dx, kMajorEdits[column][0], majorFrequency[partial]);
        DDX_Text(dx, kMajorEdits[column][1], majorCents[partial]);
        DDX_Text(dx, kMajorEdits[column][2], majorNote[partial]);
    }
}

void MainWindow::PostRecorderMessage(unsigned message) {
    mailbox.Post(message);
}

void MainWindow::OnPostedMessage(unsigned message) {
    if (message == WM_RECORDER_LEVEL) OnLevel();
    if (message == WM_RECORDING_DONE) OnRecordingDone();
    if (message == WM_RECORDER_LOST) OnInputLost();
}

void MainWindow::OnLevel() {
    if (busy) return;
    busy = true;
    UpdateData(true);
    recorder.SetTriggerLevel(triggerLevel);
    overloadShown = recorder.CountDownOverload();
    samplesRecorded = recorder.RecordedCount();
    const double volume = recorder.BlockPeak() * 100.0 / 32768;
    if (volumeMeter != nullptr) volumeMeter->setValue(static_cast<std::int16_t>(volume));
    UpdateData(false);
    busy = false;
}

void MainWindow::EnableControls() {
    const bool idle = session.State() == SessionState::Idle;
    const Bell& bell = session.Current();
    for (const int id : {kWaitForTrigger, kStartFrequency, kEndFrequency, kInterval, kSpeedAdjust,
                         kStartAnalysis, kExit, kLowNominal, kHighNominal, kSpin}) {
        EnableWindow(id, idle);
    }
    EnableWindow(kStopAnalysis, !idle);
    EnableWindow(kStartAnalysis, idle && !liveInputOff);
    EnableWindow(kAnalyseFile, idle);
    EnableWindow(kCalibrate, idle && !liveInputOff);
    EnableWindow(kSaveReport, bell.spectrum.Measured() && idle);
    EnableWindow(kViewPartials, bell.table.partialsValid != 0 && idle);
    EnableWindow(kSavePartials, bell.table.partialsValid != 0 && idle);
    EnableWindow(kSaveRecording, bell.sound != SoundState::None && idle);
    EnableWindow(kAddPartial, bell.spectrum.Measured() && idle);
    EnableWindow(kScale, bell.spectrum.Measured() && idle);
    EnableListen(idle);
    EnableProjectControls();
}

void MainWindow::Refresh() {
    busy = true;
    EnableControls();
    UpdateData(false);
    busy = false;
}

bool MainWindow::ConfirmExitAndCloseRecorder() {
    ExitDialog confirmation;
    if (confirmation.DoModal() != IDOK) return false;
    player.Stop();
    recorder.Close();
    return true;
}

void MainWindow::OnExit() {
    if (ConfirmExitAndCloseRecorder()) Dialog::OnOK();
}

void MainWindow::OnClose() {
    if (ConfirmExitAndCloseRecorder()) EndDialog(IDCANCEL);
}

void MainWindow::OnCancel() {
    OnClose();
}

void MainWindow::OnHScroll(int code, int position, QWidget* source) {
    int sourceId = 0;
    if (source == GetDlgItem(kScrollBar)) sourceId = kScrollBar;
    if (source == GetDlgItem(kSpin)) sourceId = kSpin;
    view.OnHScroll(code, position, sourceId);
}

void MainWindow::PushReadouts(bool attach) {
    if (attach) attachScrollBar = true;
    UpdateData(false);
}

void MainWindow::SetScrollInfo(int minimum, int maximum, int page, int position) {
    if (auto* bar = scrollBar != nullptr ? scrollBar : Item<ScrollBar>(kScrollBar)) {
        bar->SetScrollInfo({minimum, maximum, page, position, position});
    }
}

void MainWindow::SetSpinRange(int lower, int upper) {
    if (auto* control = spin != nullptr ? spin : Item<SpinButton>(kSpin)) control->SetRange(lower, upper);
}

void MainWindow::SetSpinPosition(int position) {
    if (auto* control = spin != nullptr ? spin : Item<SpinButton>(kSpin)) control->SetPos(position);
}

void MainWindow::ShowImage() {
    if (plotFrame != nullptr) plotFrame->repaint();
    if (axisStrip != nullptr) axisStrip->update();
    FollowPlotBand();
}
