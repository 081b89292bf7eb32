// The main window's buttons wired to their handlers, and its own commands:
// parameters, trigger, mode, "Add Partial", the plot row and the
// major-partials display. The cycle is in main_window_cycle.cpp, the file
// commands in main_window_files.cpp.
#include "app/main_window.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

using namespace MainWindowIds;

void MainWindow::ConnectCommands() {
    OnClicked(kExit, [this] { OnExit(); });
    OnClicked(kStartAnalysis, [this] { OnStartAnalysis(); });
    OnClicked(kStopAnalysis, [this] { OnStopAnalysis(); });
    OnClicked(kSaveRecording, [this] { OnSaveRecording(); });
    OnClicked(kSavePartials, [this] { OnSavePartials(); });
    OnClicked(kReadPartials, [this] { OnReadPartials(); });
    OnClicked(kViewPartials, [this] { OnViewPartials(); });
    OnClicked(kSingleShot, [this] { OnSingleShot(); });
    OnClicked(kContinuous, [this] { OnContinuous(); });
    OnClicked(kAddPartial, [this] { OnAddPartial(); });
    OnClicked(kKeep, [this] { OnKeep(); });
    OnClicked(kScale, [this] { view.OnScale(); });
    OnClicked(kResetAverage, [this] { OnResetAverage(); });
    OnClicked(kSaveReport, [this] { OnSaveReport(); });
    OnClicked(kAnalyseFile, [this] { OnAnalyseFile(); });
    OnClicked(kCalibrate, [this] { OnCalibrate(); });
    OnClicked(kDecibels, [this] { view.SetDecibels(Item<QCheckBox>(kDecibels)->isChecked()); });
    OnReleasedCapture(kTriggerSlider, [this] { OnTriggerReleased(); });
    // Keys, the wheel, clicks in the groove and drags all trigger an action:
    // whichever way the user moves the slider, the next read takes it. A
    // push from the field (setValue) is no action and changes nothing.
    auto* slider = Item<QSlider>(kTriggerSlider);
    connect(slider, &QAbstractSlider::actionTriggered, this, [this] { exchangeTrigger = true; });
    connect(slider, &QAbstractSlider::valueChanged, Item<QLabel>(kTriggerValue), qOverload<int>(&QLabel::setNum));
    // Tab goes only to controls the user can change; a click still puts the
    // focus in a display, to select and copy its text.
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        if (edit->isReadOnly()) edit->setFocusPolicy(Qt::ClickFocus);
    }
    for (const int id : {kSpeedAdjust, kHighNominal, kLowNominal, kStartFrequency, kEndFrequency, kInterval}) {
        OnKillFocus(id, [this] { OnParameterKillFocus(); });
    }
}

void MainWindow::OnParameterKillFocus() {
    busy = true;
    exchangeParameters = true;
    UpdateData(true);
    busy = false;
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QWidget* focus = focusWidget();
    for (const int id : {kSpeedAdjust, kHighNominal, kLowNominal, kStartFrequency, kEndFrequency, kInterval}) {
        if (enter && focus != nullptr && focus == GetDlgItem(id)) return OnParameterKillFocus();
    }
    if (PlotKey(event)) return;
    Dialog::keyPressEvent(event);
}

void MainWindow::OnTriggerReleased() {
    exchangeTrigger = true;
}

void MainWindow::OnSingleShot() {
    continuousMode = false;
}

void MainWindow::OnContinuous() {
    continuousMode = true;
}

void MainWindow::OnAddPartial() {
    session.AddPartial(view.cursorFrequency, view.cursorAmplitude, parameters.lowNominal, parameters.highNominal);
    ShowMajorPartials();
    exchangeResults = true;
    UpdateData(false);
    view.Draw();
    ShowTuning();
}

void MainWindow::ShowMajorPartials() {
    majorFrequency.fill(0.0);
    majorCents.fill(0.0);
    majorNote.fill("none");
    const PartialTable& table = session.Current().table;
    for (int row = 0; row < table.count && row < kPartialRows; ++row) {
        const int partial = table.partialIndex[static_cast<std::size_t>(row)];
        if (partial < 0 || partial >= NoPartial) continue;
        const std::size_t n = static_cast<std::size_t>(partial);
        majorFrequency[n] = table.frequency[static_cast<std::size_t>(row)];
        majorCents[n] = table.cents[static_cast<std::size_t>(row)];
        majorNote[n] = table.note[static_cast<std::size_t>(row)];
    }
}

void MainWindow::PrepareStartupSpectrum() {
    if (session.ShowStartupBell(parameters)) {
        ShowMajorPartials();
        exchangeResults = true;
    }
}
