// The template of dialog 102: every control at its place in dialog units.
// Buttons and check boxes carry their Alt+letter in the text ('&'), each
// its own: c e n p r s t v w here, and a (Add Partial), l (Scale), x (Exit),
// d (dB) for the plot row and Exit.
#include <QLineEdit>
#include <algorithm>

#include "app/main_window.h"
#include "ui/axis_strip.h"
#include "ui/toolkit/scroll_bar.h"
#include "ui/toolkit/spin_button.h"

using namespace MainWindowIds;

namespace {

// Labels sit two units below the top of the edit they name.
constexpr int kLabelHeight = 8;

}  // namespace

void MainWindow::BuildTemplate() {
    // The template's 287 units, a strip for the frequency axis and the
    // tuning panel.
    SetTemplate(517, 417, "PC Campanor Program");
    setWindowFlag(Qt::WindowMinimizeButtonHint);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    BuildControlsColumn();
    BuildMajorPartials();
    BuildApplicationPanel();
    BuildPlotRow();
    BuildTuningPanel();
    BuildListenPage();
    BuildViewTabs();
    AddButton(kExit, "E&xit", {460, 10, 45, 20}, true);
}

void MainWindow::BuildControlsColumn() {
    AddGroupBox(IDC_STATIC, "Triggering", {5, 0, 125, 75});
    AddCheckBox(kWaitForTrigger, "&Wait for trigger", {15, 10, 60, 8});
    AddStatic(IDC_STATIC, "Trigger threshold", {15, 25, 70, kLabelHeight});
    AddSlider(kTriggerSlider, {10, 35, 79, 15});
    AddStatic(kTriggerValue, "0", {90, 37, 30, 10});  // the slider's position, kept by ConnectCommands
    AddProgressBar(kVolumeMeter, {15, 55, 70, 8});
    AddStatic(IDC_STATIC, "Volume", {15, 65, 40, kLabelHeight});
    AddCheckBox(kOverload, "", {85, 55, 10, 8});
    AddStatic(IDC_STATIC, "Overload", {65, 65, 40, kLabelHeight});

    AddGroupBox(IDC_STATIC, "Analysis parameters", {5, 80, 125, 70});
    AddStatic(IDC_STATIC, "Start Freq.", {10, 92, 55, kLabelHeight});
    AddEdit(kStartFrequency, {70, 90, 55, 12}, false);
    AddStatic(IDC_STATIC, "End Freq.", {10, 107, 55, kLabelHeight});
    AddEdit(kEndFrequency, {70, 105, 55, 12}, false);
    AddStatic(IDC_STATIC, "Interval (Hz)", {10, 122, 55, kLabelHeight});
    AddEdit(kInterval, {70, 120, 55, 12}, false);
    AddStatic(IDC_STATIC, "Speed Adjust", {10, 137, 44, kLabelHeight});
    AddEdit(kSpeedAdjust, {55, 135, 70, 12}, false);

    AddGroupBox(IDC_STATIC, "Record control", {5, 155, 125, 75});
    AddButton(kStartAnalysis, "&Start analysis", {10, 165, 55, 14});
    AddButton(kStopAnalysis, "S&top analysis", {70, 165, 55, 14});
    AddRadioButton(kSingleShot, "Si&ngle shot", {10, 185, 55, 10});
    AddRadioButton(kContinuous, "&Continuous", {70, 185, 55, 10});
    AddStatic(IDC_STATIC, "Status", {10, 202, 55, kLabelHeight});
    AddEdit(kStatus, {70, 200, 55, 12}, true);
    AddStatic(IDC_STATIC, "Samples", {10, 217, 55, kLabelHeight});
    AddEdit(kSamples, {70, 215, 55, 12}, true);

    AddGroupBox(IDC_STATIC, "Results", {5, 235, 125, 45});
    AddButton(kReadPartials, "&Read partials", {10, 245, 55, 14});
    AddButton(kViewPartials, "&View partials", {70, 245, 55, 14});
    AddButton(kSaveRecording, "Save recordin&g", {10, 260, 55, 14});
    AddButton(kSavePartials, "Save &partials", {70, 260, 55, 14});
}

void MainWindow::BuildMajorPartials() {
    AddGroupBox(kMajorPartialsGroup, "Major partials", {135, 0, 225, 75});
    AddStatic(IDC_STATIC, "Partial", {140, 12, 38, kLabelHeight});
    AddStatic(IDC_STATIC, "Freq. (Hz)", {140, 26, 38, kLabelHeight});
    AddStatic(IDC_STATIC, "Cents", {140, 38, 38, kLabelHeight});
    AddStatic(IDC_STATIC, "Note", {140, 50, 38, kLabelHeight});
    static constexpr const char* kHeaders[5] = {"Hum", "Prime", "Tierce", "Quint", "Nominal"};
    for (std::size_t column = 0; column < kMajorEdits.size(); ++column) {
        const int x = 180 + 35 * static_cast<int>(column);
        AddStatic(IDC_STATIC, kHeaders[column], {x, 10, 35, 12}, true);
        AddEdit(kMajorEdits[column][0], {x, 24, 35, 12}, true);
        AddEdit(kMajorEdits[column][1], {x, 36, 35, 12}, true);
        AddEdit(kMajorEdits[column][2], {x, 48, 35, 12}, true);
    }
    AddStatic(IDC_STATIC, "Low nominal", {140, 62, 52, kLabelHeight});
    AddEdit(kLowNominal, {195, 60, 55, 12}, false);
    AddStatic(IDC_STATIC, "High nominal", {255, 62, 44, kLabelHeight});
    AddEdit(kHighNominal, {300, 60, 55, 12}, false);
}

void MainWindow::BuildApplicationPanel() {
    AddGroupBox(kApplicationGroup, "Application", {365, 0, 145, 75});
    AddEdit(kFileDescription, {370, 10, 90, 12}, true, false);
    AddStatic(kVersionLabel, "Version:", {369, 23, 31, 10});
    AddEdit(kProductVersion, {403, 23, 19, 12}, true, false);
    AddEdit(kLegalNotice, {369, 34, 133, 12}, true, false);
    AddEdit(kCompanyName, {370, 47, 125, 12}, true, false);
    AddStatic(kWebAddress, "campanor.example.org", {370, 60, 80, 9});
}

void MainWindow::BuildPlotRow() {
    AddStatic(1001, "Cursor Freq. (Hz)", {135, 82, 55, 10});
    AddEdit(kCursorFrequency, {190, 80, 30, 12}, true);
    AddSpinButton(kSpin, {220, 80, 20, 12});
    AddEdit(kCursorNote, {240, 80, 40, 12}, true);
    AddStatic(1002, "Ampl.", {285, 82, 20, 10});
    AddEdit(kCursorAmplitude, {310, 80, 35, 12}, true);
    AddButton(kAddPartial, "&Add Partial", {360, 80, 60, 12});
    AddButton(kScale, "Sca&le", {425, 80, 30, 12});
    AddEdit(kBinsPerPixel, {455, 80, 35, 12}, true);
    AddCheckBox(kDecibels, "&dB", {492, 80, 23, 12});
    AddControl(kPlotFrame, {135, 95, 375, 175}, new PlotFrame(view))->onRatioChange = [this] { LayoutPlot(); };
    AddScrollBar(kScrollBar, {135, 270, 375, 10});
    axisStrip = AddControl(kAxisStrip, {135, 281, 375, 12}, new AxisStrip(view, session.Current().spectrum));
}

void MainWindow::ResizableFromDefault() {
    defaultSize_ = size();
    plotDefault_ = GetDlgItem(kPlotFrame)->geometry();
    scrollDefault_ = GetDlgItem(kScrollBar)->geometry();
    axisDefault_ = axisStrip->geometry();
    const QRect panel = GetDlgItem(kPanelTabs)->geometry();
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QRect rect = child->geometry();
        if (rect.top() >= axisDefault_.bottom()) {
            const bool wide = rect.width() > defaultSize_.width() / 2;
            belowPlot_.push_back({child, rect, wide, rect == panel, rect.top() < panel.top()});
        }
    }
    setMinimumSize(defaultSize_);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setMouseTracking(true);
    setAcceptDrops(true);
}

void MainWindow::LayoutPlot() {
    const int dx = std::max(0, width() - defaultSize_.width());
    const int dy = std::max(0, height() - defaultSize_.height());
    const int panelGrowth = dy / 3;
    const int plotGrowth = dy - panelGrowth;
    GetDlgItem(kPlotFrame)->setGeometry(plotDefault_.adjusted(0, 0, dx, plotGrowth));
    GetDlgItem(kScrollBar)->setGeometry(scrollDefault_.translated(0, plotGrowth).adjusted(0, 0, dx, 0));
    axisStrip->setGeometry(axisDefault_.translated(0, plotGrowth).adjusted(0, 0, dx, 0));
    for (const MovingControl& c : belowPlot_) {
        const int down = c.abovePanel || c.tall ? plotGrowth : dy;
        c.widget->setGeometry(c.rect.translated(0, down).adjusted(0, 0, c.wide ? dx : 0, c.tall ? panelGrowth : 0));
    }
    auto* frame = static_cast<PlotFrame*>(GetDlgItem(kPlotFrame));
    view.Resize(frame->width(), frame->height(), frame->FrameRectIn(this), frame->devicePixelRatioF());
    PlacePlotViews();
}
