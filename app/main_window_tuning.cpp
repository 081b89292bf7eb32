// The tuning panel under the template: the named partials' precise
// frequencies and deviations from the chosen ideal, coloured against the
// tuner's tolerance, with the averages over strikes and the strike note.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QLabel>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>

#include "app/main_window.h"
#include "tuning/tuning_text.h"
#include "ui/toolkit/file_dialog.h"
#include "ui/toolkit/message_box.h"
#include "ui/tuning_table.h"

using namespace MainWindowIds;

void MainWindow::BuildTuningPanel() {
    // Kept low (no frame of its own) so the window still fits a 768-pixel screen.
    AddStatic(IDC_STATIC, "Ideal", {10, 300, 20, 8});
    auto* choice = AddControl(kIdealChoice, {32, 298, 70, 12}, new QComboBox);
    choice->addItems({"just", "tempered", "file..."});
    AddStatic(IDC_STATIC, "Tolerance (cents)", {108, 300, 62, 8});
    auto* tolerance = AddControl(kTolerance, {172, 298, 35, 12}, new QDoubleSpinBox);
    tolerance->setLocale(QLocale::c());  // "10.0" under every locale
    tolerance->setRange(0.1, 1200.0);
    tolerance->setDecimals(1);
    tolerance->setValue(toleranceCents);
    AddButton(kResetAverage, "R&eset", {213, 298, 40, 12});
    AddButton(kAnalyseFile, "Analyse &file...", {259, 298, 60, 12});
    AddButton(kSaveReport, "Save rep&ort...", {325, 298, 60, 12});
    AddButton(kCalibrate, "Cali&brate...", {391, 298, 60, 12});
    AddButton(kKeep, "&Keep...", {457, 298, 53, 12});
    AddStatic(kStrikeNote, "", {10, 313, 500, 9});
    auto* tabs = AddControl(kPanelTabs, {10, 323, 500, 80}, new QTabWidget);
    tabs->setDocumentMode(true);
    auto* table = new QTableWidget;
    SetUpTuningTable(*table);
    RegisterItem(kTuningTable, table);
    AddPanelTab(table, "Tuning");
    BuildRingTabs();
    AddStatic(kTuningStatus, "Strike the bell, analyse a sound file or read a partials file.", {10, 405, 500, 9});
    connect(choice, &QComboBox::activated, this, [this](int index) { OnIdealChosen(index); });
    connect(tolerance, &QDoubleSpinBox::valueChanged, this, [this](double cents) { OnToleranceChanged(cents); });
}

void MainWindow::AddPanelTab(QWidget* page, const QString& title) {
    Item<QTabWidget>(kPanelTabs)->addTab(page, title);
}

void MainWindow::OnIdealChosen(int index) {
    IdealTuning ideal = session.Ideal();
    if (index == 0) ideal = JustTuning();
    if (index == 1) ideal = TemperedTuning();
    if (index == 2) {
        std::string path;
        IdealTuning chosen;
        std::int16_t code = 0;
        int line = 0;
        if (!OpenFileDialog(this, "Ideal tunings (*.txt *.csv)|*.txt;*.csv|", "", path)) {
            path.clear();
        } else if (!ReadIdealTuning(path, chosen, code, line)) {
            std::string where = path;
            if (line > 0) where.append(":").append(std::to_string(line));
            MessageBox(this, where.append(": ").append(IdealFileErrorText(code)));
            path.clear();
        }
        if (path.empty()) {
            // Back to what was chosen before: the panel never claims an ideal it does not use.
            QSignalBlocker block(Item<QComboBox>(kIdealChoice));
            Item<QComboBox>(kIdealChoice)->setCurrentIndex(ideal.name == "just" ? 0 : ideal.name == "tempered" ? 1 : 2);
            return;
        }
        ideal = chosen;
        Item<QComboBox>(kIdealChoice)->setItemText(2, QString::fromStdString(path));
    }
    session.SetIdeal(ideal);
    ShowTuning();
    KeepPanelChoicesInRing();
}

void MainWindow::OnToleranceChanged(double cents) {
    toleranceCents = cents;
    ShowTuning();
    KeepPanelChoicesInRing();
}

void MainWindow::OnResetAverage() {
    session.ResetAverages();
    ShowTuning();
}

void MainWindow::ShowTuning() {
    const Bell& bell = session.Current();
    const TuningReport& tuning = bell.tuning;
    const StrikeAverage& strikes = bell.strikes;
    const std::string& tuningStatus = bell.tuningStatus;
    ShowTuningRows(*Item<QTableWidget>(kTuningTable), MakeTuningRows(tuning, strikes, toleranceCents));
    Item<QLabel>(kStrikeNote)->setText(QString::fromStdString(tuning.partials.empty() ? "" : StrikeNoteText(tuning)));
    const std::string averaged = AveragingText(strikes);
    const std::string status = averaged.empty() ? tuningStatus : tuningStatus + " " + averaged;
    auto* label = Item<QLabel>(kTuningStatus);
    QString text = QString::fromStdString(status);
    QStringList lines;
    if (!tuning.warnings.empty()) {
        // The label is one line of fixed width: texts that would run past it give way to their codes.
        text = QString::fromStdString(status + " " + WarningsText(tuning));
        if (QFontMetrics(label->font()).horizontalAdvance(text) > label->contentsRect().width()) {
            text = QString::fromStdString(status + " " + WarningsSummary(tuning));
        }
        for (const TuningWarning& warning : tuning.warnings) lines << QString::fromStdString(WarningLine(warning));
    }
    label->setText(text);
    label->setToolTip(lines.join('\n'));
    ShowViews();
}
