// The tower's project: made, opened, copied and closed; the ring's settings
// and the bells' details; the strike on screen kept as a bell's pass.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSignalBlocker>

#include "app/main_window.h"
#include "project/local_time.h"
#include "ui/ring_dialogs.h"
#include "ui/toolkit/file_dialog.h"
#include "ui/toolkit/message_box.h"

using namespace MainWindowIds;

namespace {

constexpr const char* kProjectFilter = "Campanor projects (*.campanor)|*.campanor|";

}  // namespace

void MainWindow::OnNewProject() {
    RingSettings ring;
    ring.innerIdeal = session.Ideal().name;
    ring.toleranceCents = toleranceCents;
    RingSettingsDialog ask(ring, true);
    if (ask.DoModal() != IDOK) return;
    std::string path;
    const std::string proposed = ask.ring.name.empty() ? "tower.campanor" : ask.ring.name + ".campanor";
    if (!SaveFileDialog(this, kProjectFilter, "campanor", proposed, path)) return;
    project_.Close();
    const std::int16_t code = project_.Create(path, ask.ring);
    if (code != ProjectOpened) {
        MessageBox(this, ProjectOpenText(code, path));
        OnCloseProject();
        return;
    }
    OpenProject(path);
}

void MainWindow::OnOpenProject() {
    std::string path;
    if (OpenFileDialog(this, kProjectFilter, "campanor", path)) OpenProject(path);
}

bool MainWindow::OpenProject(const std::string& path) {
    chosenPasses_.clear();
    selectedBell_ = 0;
    historyCurvesOf_ = {-1, -1};
    const std::int16_t code = project_.Open(path);
    std::int16_t read = ProjectDone;
    if (code == ProjectOpened || code == ProjectOpenedReadOnly) read = ReadKeptRing(project_, kept_);
    if ((code != ProjectOpened && code != ProjectOpenedReadOnly) || read != ProjectDone) {
        MessageBox(this, code != ProjectOpened && code != ProjectOpenedReadOnly ? ProjectOpenText(code, path)
                                                                                : ProjectResultText(read, path));
        OnCloseProject();
        return false;
    }
    if (code == ProjectOpenedReadOnly) MessageBox(this, ProjectOpenText(code, path));
    // The tuning panel follows the ring's choices while the project is open.
    const std::string& ideal = kept_.ring.innerIdeal;
    IdealTuning chosen;
    std::int16_t refused = 0;
    int line = 0;
    auto* choice = Item<QComboBox>(kIdealChoice);
    QSignalBlocker block(choice);
    if (ideal == "just" || ideal == "tempered") {
        session.SetIdeal(ideal == "just" ? JustTuning() : TemperedTuning());
        choice->setCurrentIndex(ideal == "just" ? 0 : 1);
    } else if (ReadIdealTuning(ideal, chosen, refused, line)) {
        session.SetIdeal(chosen);
        choice->setItemText(2, QString::fromStdString(ideal));
        choice->setCurrentIndex(2);
    } else {
        // The founder's file has gone: the panel keeps the ideal it had and says which is used.
        MessageBox(this, ideal + ": " + IdealFileErrorText(refused) + "; the " + session.Ideal().name + " ideal is used.");
    }
    {
        QSignalBlocker block(Item<QDoubleSpinBox>(kTolerance));
        Item<QDoubleSpinBox>(kTolerance)->setValue(kept_.ring.toleranceCents);
        toleranceCents = Item<QDoubleSpinBox>(kTolerance)->value();
    }
    ShowTuning();
    ShowRing();
    ShowHistory();
    EnableProjectControls();
    setWindowTitle(QString::fromStdString("PC Campanor Program - " + path));
    return true;
}

void MainWindow::OnCloseProject() {
    project_.Close();
    kept_ = KeptRing{};
    chosenPasses_.clear();
    selectedBell_ = 0;
    historyCurvesOf_ = {-1, -1};
    shownPass_.clear();
    ShowRing();
    ShowHistory();
    EnableProjectControls();
    setWindowTitle("PC Campanor Program");
}

void MainWindow::OnSaveProjectAs() {
    std::string path;
    if (!project_.IsOpen() || !SaveFileDialog(this, kProjectFilter, "campanor", "", path)) return;
    const std::int16_t code = project_.SaveAs(path);
    if (code != ProjectOpened && code != ProjectOpenedReadOnly) {
        MessageBox(this, ProjectOpenText(code, path));
        return;
    }
    OpenProject(path);
}

void MainWindow::OnRingSettings() {
    if (!project_.IsOpen()) return;
    RingSettingsDialog ask(kept_.ring, false);
    if (ask.DoModal() != IDOK) return;
    const std::int16_t code = project_.ChangeRing(ask.ring);
    if (code != ProjectDone) MessageBox(this, ProjectResultText(code, project_.Path()));
    ReadKeptRing(project_, kept_);
    ShowRing();
    ShowHistory();
}

void MainWindow::OnBellDetails() {
    if (!project_.IsOpen() || kept_.bells.empty()) return;
    const int bell = selectedBell_ > 0 ? selectedBell_ : 1;
    BellDetailsDialog ask(kept_.bells[static_cast<std::size_t>(bell - 1)]);
    if (ask.DoModal() != IDOK) return;
    const std::int16_t code = project_.ChangeBell(ask.bell);
    if (code != ProjectDone) MessageBox(this, ProjectResultText(code, project_.Path()));
    ReadKeptRing(project_, kept_);
    ShowRing();
}

void MainWindow::OnKeep() {
    // A copy: in continuous mode the next strike may be analysed while the
    // dialog is open, and the strike on screen when "Keep..." was pressed is
    // the one meant.
    const Bell bell = session.Current();
    if (!project_.IsOpen() || bell.recording.Empty() || kept_.bells.empty()) return;
    KeepDialog ask(kept_.bells, selectedBell_ > 0 ? selectedBell_ : 1, [this](int number) {
        std::string label;
        return project_.NextPassLabel(number, label) == ProjectDone ? label : std::string();
    });
    if (ask.DoModal() != IDOK) return;
    const bool live = bell.request.waveFileName.empty();
    const Measurement m{ask.bell,
                        ask.pass,
                        LocalTimeIso8601(live ? bell.recording.recordedAt : std::chrono::system_clock::now()),
                        live ? "live" : bell.request.waveFileName,
                        bell.recording,
                        bell.parameters,
                        bell.table,
                        bell.tuning};
    std::int64_t id = 0;
    const std::int16_t code = project_.Keep(m, id);
    if (code != ProjectDone) {
        MessageBox(this, ProjectResultText(code, project_.Path()));
        return;
    }
    const bool stillShown = session.Current().recording.samples == bell.recording.samples;
    if (stillShown) session.MarkSaved();
    selectedBell_ = m.bell;
    chosenPasses_.erase(m.bell);
    ReadKeptRing(project_, kept_);
    std::string label;
    for (const RingBell& b : kept_.bells) {
        if (b.number == m.bell && !b.label.empty()) label = " (" + b.label + ")";
    }
    if (stillShown) shownPass_ = "Bell " + std::to_string(m.bell) + label + ", " + m.pass;
    ShowRing();
    ShowHistory();
    Refresh();
}

void MainWindow::KeepPanelChoicesInRing() {
    if (!project_.IsOpen() || project_.IsReadOnly()) return;
    RingSettings ring = kept_.ring;
    ring.innerIdeal = session.Ideal().name;
    ring.toleranceCents = toleranceCents;
    if (project_.ChangeRing(ring) == ProjectDone) kept_.ring = ring;
    ShowRing();
    ShowHistory();
}
