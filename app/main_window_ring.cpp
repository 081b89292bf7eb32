// The Ring and History tabs: the ring's outer and inner tuning from the
// project, a bell's passes side by side with their spectra overlaid, and a
// kept pass brought back onto the screen exactly as it was kept.
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/main_window.h"
#include "data/number_text.h"
#include "ring/bell_history.h"
#include "ring/pass_spectrum.h"
#include "ui/history_plot.h"
#include "ui/ring_grid.h"
#include "ui/toolkit/message_box.h"

using namespace MainWindowIds;

namespace {

// The cents points of a pass's spectrum in the history's plot.
constexpr int kHistoryPoints = 1400;

QAction* AddAction(QMenu* menu, const char* text, const char* name) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    return action;
}

}  // namespace

void MainWindow::BuildRingTabs() {
    auto* ring = new QWidget;
    auto* rows = new QVBoxLayout(ring);
    rows->setContentsMargins(2, 2, 2, 2);
    rows->setSpacing(2);
    auto* bar = new QHBoxLayout;
    auto* menuButton = new QToolButton;
    menuButton->setText("Project");
    menuButton->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(menuButton);
    connect(AddAction(menu, "New project...", "actionNewProject"), &QAction::triggered, this, [this] { OnNewProject(); });
    connect(AddAction(menu, "Open project...", "actionOpenProject"), &QAction::triggered, this, [this] { OnOpenProject(); });
    connect(AddAction(menu, "Save project as...", "actionSaveProjectAs"), &QAction::triggered, this, [this] { OnSaveProjectAs(); });
    connect(AddAction(menu, "Close project", "actionCloseProject"), &QAction::triggered, this, [this] { OnCloseProject(); });
    menu->addSeparator();
    connect(AddAction(menu, "Ring settings...", "actionRingSettings"), &QAction::triggered, this, [this] { OnRingSettings(); });
    connect(AddAction(menu, "Bell details...", "actionBellDetails"), &QAction::triggered, this, [this] { OnBellDetails(); });
    menuButton->setMenu(menu);
    auto* again = new QPushButton("Analyse again");
    auto* units = new QComboBox;
    units->addItems({"cents", "sixteenths"});
    auto* figures = new QComboBox;
    figures->addItems({"inner: deviation", "inner: cents"});
    auto* title = new QLabel("No project open: Project > New or Open.");
    for (QWidget* w : std::initializer_list<QWidget*>{menuButton, again, units, figures}) bar->addWidget(w);
    bar->addWidget(title, 1);
    rows->addLayout(bar);
    auto* table = new QTableWidget;
    SetUpGridTable(*table);
    rows->addWidget(table, 1);
    RegisterItem(kProjectMenu, menuButton);
    RegisterItem(kAnalyseAgain, again);
    RegisterItem(kUnits, units);
    RegisterItem(kInnerFigures, figures);
    RegisterItem(kRingTitle, title);
    RegisterItem(kRingTable, table);
    AddPanelTab(ring, "Ring");

    auto* history = new QSplitter;
    auto* passes = new QTableWidget;
    SetUpGridTable(*passes);
    passes->setSelectionBehavior(QAbstractItemView::SelectColumns);
    auto* plot = new HistoryPlot;
    history->addWidget(passes);
    history->addWidget(plot);
    history->setStretchFactor(0, 3);
    history->setStretchFactor(1, 2);
    RegisterItem(kHistoryTable, passes);
    RegisterItem(kHistoryPlot, plot);
    AddPanelTab(history, "History");

    OnClicked(kAnalyseAgain, [this] { OnAnalyseAgain(); });
    connect(units, &QComboBox::activated, this, [this](int index) {
        units_ = index == 1 ? TuningUnits::Sixteenths : TuningUnits::Cents;
        ShowRing();
        ShowHistory();
    });
    connect(figures, &QComboBox::activated, this, [this](int index) {
        innerFigures_ = index == 1 ? InnerFigures::CentsFromNominal : InnerFigures::Deviation;
        ShowRing();
    });
    table->setToolTip("Click a bell to load its pass; double-click for its details.");
    passes->setToolTip("Click a pass's title to load it and show it for the bell in the ring table.");
    connect(table, &QTableWidget::cellClicked, this, [this](int row, int) { OnRingBellClicked(row + 1); });
    connect(table, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        selectedBell_ = row + 1;
        OnBellDetails();
    });
    connect(passes->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (column > 0) OnHistoryPassClicked((column - 1) / 2);
    });
}

void MainWindow::EnableProjectControls() {
    const bool idle = session.State() == SessionState::Idle;
    const Bell& bell = session.Current();
    const bool open = project_.IsOpen(), writable = open && !project_.IsReadOnly();
    // Continuous mode waits for the next strike with this one on screen: it may be kept.
    const bool shown = idle || (session.State() == SessionState::Armed && !session.Calibrating());
    EnableWindow(kKeep, writable && shown && !bell.recording.Empty() && bell.tuning.measured &&
                            bell.table.partialsValid != 0);
    EnableWindow(kAnalyseAgain, idle && !bell.recording.Empty());
    EnableWindow(kProjectMenu, idle);
    EnableWindow(kRingTable, idle);
    EnableWindow(kHistoryTable, idle);
    if (auto* button = Item<QToolButton>(kProjectMenu)) {
        for (QAction* action : button->menu()->actions()) {
            const QString name = action->objectName();
            const bool always = name == "actionNewProject" || name == "actionOpenProject";
            const bool changes = name == "actionRingSettings" || name == "actionBellDetails";
            action->setEnabled(always || (changes ? writable : open));
        }
    }
}

TextGrid MainWindow::MakeRingTableGrid(OuterTuning* outerOut) const {
    std::vector<const KeptPass*> shown;
    for (const KeptPass& latest : kept_.latest) {
        const auto chosen = chosenPasses_.find(latest.bell);
        shown.push_back(chosen == chosenPasses_.end() ? &latest : &chosen->second);
    }
    std::vector<BellMeasure> measures;
    std::vector<std::string> passes(static_cast<std::size_t>(kept_.ring.bellCount));
    for (const KeptPass* pass : shown) {
        measures.push_back(MeasureFromReport(pass->bell, pass->source, pass->tuning));
        passes[static_cast<std::size_t>(pass->bell - 1)] = pass->pass;
    }
    const OuterTuning outer = MakeOuterTuning(kept_.ring, kept_.bells, measures);
    std::vector<InnerTuningRow> inner;
    for (const OuterTuningRow& row : outer.rows) {
        InnerTuningRow made;
        made.bell = row.bell;
        for (const KeptPass* pass : shown) {
            if (pass->bell == row.bell) made = MakeInnerTuning(row.bell, pass->tuning, session.Ideal());
        }
        inner.push_back(made);
    }
    if (outerOut != nullptr) *outerOut = outer;
    return MakeRingGrid(outer, inner, passes, units_, innerFigures_);
}

std::string MainWindow::RingTitle(const OuterTuning& outer) const {
    const RingSettings& ring = kept_.ring;
    return (ring.name.empty() ? std::string("A ring") : ring.name) + (ring.place.empty() ? "" : ", " + ring.place) +
           ": " + std::to_string(ring.bellCount) +
           " bells, " + RingPitchText(outer, units_);
}

void MainWindow::ShowRing() {
    auto* title = Item<QLabel>(kRingTitle);
    auto* table = Item<QTableWidget>(kRingTable);
    if (!project_.IsOpen()) {
        title->setText("No project open: Project > New or Open.");
        ShowTextGrid(*table, {});
        return;
    }
    OuterTuning outer;
    ShowTextGrid(*table, MakeRingTableGrid(&outer));
    std::string text = RingTitle(outer);
    if (project_.IsReadOnly()) text += " (read-only)";
    title->setText(QString::fromStdString(text));
    title->setToolTip(QString::fromStdString(project_.Path()));
    if (selectedBell_ > 0) table->selectRow(selectedBell_ - 1);
}

void MainWindow::MakeHistory(int bell, TextGrid& grid, std::vector<HistoryPlot::Curve>* curves) const {
    grid = {};
    if (curves != nullptr) curves->clear();
    std::vector<PassSummary> passes;
    if (!project_.IsOpen() || bell < 1 || project_.Passes(bell, passes) != ProjectDone) return;
    std::vector<HistoryPass> history;
    std::vector<std::string> labels;
    double zeroHz = 0.0;
    for (const PassSummary& summary : passes) {
        Measurement m;
        if (project_.Load(summary.id, m) != ProjectDone) continue;
        std::vector<BellMeasure> measures = kept_.measures;
        std::erase_if(measures, [&](const BellMeasure& b) { return b.bell == bell; });
        measures.push_back(MeasureFromReport(bell, m.source, m.tuning));
        const OuterTuning outer = MakeOuterTuning(kept_.ring, kept_.bells, measures);
        history.push_back({m.pass, m.tuning, outer.rows[static_cast<std::size_t>(bell - 1)].deviationCents});
        labels.push_back(m.pass);
        if (zeroHz == 0.0) zeroHz = m.table.nominal;
        if (curves == nullptr) continue;
        curves->push_back({m.pass, SpectrumInCents(m.recording, m.parameters.speedAdjust, zeroHz, HistoryPlot::kFromCents,
                                                   HistoryPlot::kToCents, kHistoryPoints)});
    }
    if (!history.empty()) {
        grid = MakeHistoryGrid(labels, MakeBellHistory(history, session.Ideal()), units_, kept_.ring.toleranceCents);
    }
}

void MainWindow::ShowHistory() {
    // The spectra change only with the bell's passes (kept ones never
    // change), not with the units, the ideal or the tolerance: they are
    // made again only for another bell or a new pass.
    std::vector<PassSummary> passes;
    if (project_.IsOpen() && selectedBell_ > 0 && project_.Passes(selectedBell_, passes) != ProjectDone) passes.clear();
    const std::pair<int, std::int64_t> shown{selectedBell_, passes.empty() ? 0 : passes.back().id};
    TextGrid grid;
    std::vector<HistoryPlot::Curve> curves;
    const bool newCurves = shown != historyCurvesOf_;
    MakeHistory(selectedBell_, grid, newCurves ? &curves : nullptr);
    ShowTextGrid(*Item<QTableWidget>(kHistoryTable), grid);
    if (!newCurves) return;
    static_cast<HistoryPlot*>(GetDlgItem(kHistoryPlot))->SetCurves(std::move(curves));
    historyCurvesOf_ = shown;
}

bool MainWindow::LoadPass(int bell, std::int64_t id) {
    Measurement m;
    const std::int16_t code = project_.Load(id, m);
    if (code != ProjectDone) {
        MessageBox(this, ProjectResultText(code, project_.Path()));
        return false;
    }
    std::string label;
    for (const RingBell& b : kept_.bells) {
        if (b.number == bell && !b.label.empty()) label = " (" + b.label + ")";
    }
    const std::string name = "Bell " + std::to_string(bell) + label + ", " + m.pass;
    const AnalysisOutcome outcome = session.ShowKept(
        m.recording, m.parameters, m.table, m.tuning, name + ", kept " + m.time + " from " + m.source + ".",
        [this](SpectrumAnalyser& engine, const AnalysisRequest& request, const Recording& analysed, Spectrum& spectrum) {
            return RunAnalysisProgress(engine, request, analysed, spectrum);
        });
    if (outcome == AnalysisOutcome::Refused) return false;
    parameters = session.Current().parameters;
    exchangeParameters = true;
    ShowAnalysisResult(outcome == AnalysisOutcome::Cancelled ? AnalysisOutcome::Unnamed : outcome);
    analysedAt = m.time;
    shownPass_ = name;
    Refresh();
    return true;
}

void MainWindow::OnRingBellClicked(int bell) {
    if (!project_.IsOpen() || session.State() != SessionState::Idle) return;
    selectedBell_ = bell;
    const auto chosen = chosenPasses_.find(bell);
    std::int64_t id = chosen != chosenPasses_.end() ? chosen->second.id : 0;
    for (const KeptPass& latest : kept_.latest) {
        if (latest.bell == bell && id == 0) id = latest.id;
    }
    if (id != 0) LoadPass(bell, id);
    ShowHistory();
}

void MainWindow::OnHistoryPassClicked(int index) {
    std::vector<PassSummary> passes;
    if (!project_.IsOpen() || selectedBell_ < 1 || project_.Passes(selectedBell_, passes) != ProjectDone ||
        index < 0 || index >= static_cast<int>(passes.size()) || session.State() != SessionState::Idle) {
        return;
    }
    const PassSummary& pass = passes[static_cast<std::size_t>(index)];
    if (!LoadPass(selectedBell_, pass.id)) return;
    chosenPasses_[selectedBell_] = {selectedBell_, pass.id, pass.pass, pass.time, pass.source, session.Current().tuning};
    ShowRing();
}

void MainWindow::OnAnalyseAgain() {
    if (session.State() != SessionState::Idle || !ReadAnalysisParameters()) return;
    const AnalysisOutcome outcome = session.AnalyseAgain(
        parameters, [this](SpectrumAnalyser& engine, const AnalysisRequest& request, const Recording& analysed, Spectrum& spectrum) {
            return RunAnalysisProgress(engine, request, analysed, spectrum);
        });
    ShowAnalysisResult(outcome);
    Refresh();
}
