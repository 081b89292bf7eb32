// A tower session through the window: a project made, three strikes kept as passes of two bells, a bell
// loaded back exactly as kept, its history, another pass chosen, the units, a copy, and the project
// opened again from the command line.
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QLineEdit>
#include <QTableWidget>
#include <QToolButton>

#include "cycle_fixture.h"
#include "project/project_results.h"
#include "ring/tuning_units.h"
#include "tuning/tuning_text.h"
#include "ui/history_plot.h"
#include "ui/ring_dialogs.h"

namespace {

std::vector<std::int16_t> BellScaled(double scale) {
    std::vector<std::int16_t> samples(kTwoSeconds);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = BellAt(static_cast<double>(i) / 44100.0 * scale);
    return samples;
}

double Nominal(const TuningReport& report) {
    for (const TunedPartial& p : report.partials) if (p.name == "nominal") return p.frequencyHz;
    return 0.0;
}

class ProjectWindowTest : public CycleTest {
protected:
    void Menu(const char* action) {
        window->Item<QToolButton>(kProjectMenu)->menu()->findChild<QAction*>(action)->trigger();
    }
    // "Keep..." answered with `bell`; the label proposed is returned, `label` typed unless empty.
    std::string Keep(int bell, const char* label = "") {
        std::string proposed;
        WhenModalStatic([&](QWidget* keep) {
            keep->findChild<QComboBox*>(QString("id%1").arg(KeepDialog::kBell))->setCurrentIndex(bell - 1);
            auto* pass = keep->findChild<QLineEdit*>(QString("id%1").arg(KeepDialog::kPass));
            proposed = pass->text().toStdString();
            if (*label != '\0') pass->setText(label);
            keep->findChild<QPushButton*>("id1")->click();
        });
        Press(kKeep);
        return proposed;
    }
    QString Cell(int table, int row, int column) {
        QTableWidgetItem* item = window->Item<QTableWidget>(table)->item(row, column);
        return item == nullptr ? QString() : item->text();
    }
};

TEST_F(ProjectWindowTest, ATowerSessionKeptLoadedAndCompared) {
    const double third = std::exp2(400.0 / 1200.0), cut = std::exp2(-3.0 / 1200.0);
    std::vector<std::vector<std::int16_t>> blocks;
    for (const double scale : {1.0, third, cut}) {  // the tenor, the treble a major third up, the tenor after a cut
        const auto strike = BlocksOf(BellScaled(scale), 1);
        blocks.insert(blocks.end(), strike.begin(), strike.end());
    }
    MainWindow& w = Open(std::move(blocks));
    EXPECT_FALSE(Enabled(kKeep)) << "nothing to keep, and no project";

    WhenModalStatic([](QWidget* ask) {
        ask->findChild<QLineEdit*>(QString("id%1").arg(RingSettingsDialog::kName))->setText("St Mary");
        ask->findChild<QLineEdit*>(QString("id%1").arg(RingSettingsDialog::kBells))->setText("3");
        ask->findChild<QPushButton*>("id1")->click();
    });
    script.fileAnswers.push_back("tower.campanor");
    Menu("actionNewProject");
    ASSERT_TRUE(w.ProjectIsOpen()) << (script.messages.empty() ? "" : script.messages.back().text);
    EXPECT_EQ(script.fileRequests.back().initialName, "St Mary.campanor");
    EXPECT_EQ(w.Item<QTableWidget>(kRingTable)->rowCount(), 3);
    EXPECT_TRUE(w.Item<QLabel>(kRingTitle)->text().startsWith("St Mary: 3 bells, unknown")) << w.Item<QLabel>(kRingTitle)->text().toStdString();

    std::vector<TuningReport> kept;
    for (const auto& [bell, label] : std::vector<std::pair<int, std::string>>{{3, "as received"}, {1, "as received"}, {3, "cut 1"}}) {
        const bool continuous = label == "cut 1";  // kept while the next strike is awaited
        if (continuous) w.Item<QRadioButton>(kContinuous)->click();
        Press(kStartAnalysis);
        Deliver(1 + BlocksFor(kTwoSeconds));
        ASSERT_TRUE(w.CurrentBell().tuning.measured && Enabled(kKeep));
        EXPECT_EQ(w.State(), continuous ? SessionState::Armed : SessionState::Idle);
        EXPECT_EQ(Keep(bell), label) << "the next label proposed";
        kept.push_back(w.CurrentBell().tuning);
        EXPECT_EQ(w.ShownPass(), "Bell " + std::to_string(bell) + ", " + label);
        if (continuous) Press(kStopAnalysis), w.Item<QRadioButton>(kSingleShot)->click();
    }
    EXPECT_EQ(Keep(3, "cut 1"), "cut 2");
    ASSERT_FALSE(script.messages.empty());
    EXPECT_EQ(script.messages.back().text, ProjectResultText(ProjectPassTaken, "tower.campanor")) << "a label the bell has";

    // The outer tuning: the tenor anchors, the treble a major third (equal: 400 cents) above it.
    const double treble = 1200.0 * std::log2(Nominal(kept[1]) / Nominal(kept[2]));
    EXPECT_EQ(Cell(kRingTable, 0, 3).toStdString(), FixedText(Nominal(kept[1]), 3));
    EXPECT_EQ(Cell(kRingTable, 0, 5).toStdString(), UnitsText(treble, TuningUnits::Cents));
    EXPECT_EQ(Cell(kRingTable, 0, 6).toStdString(), "+400.00");
    EXPECT_EQ(Cell(kRingTable, 0, 7).toStdString(), UnitsText(treble - 400.0, TuningUnits::Cents));
    EXPECT_NEAR(treble, 403.0, 0.05) << "the tenor's cut raised the treble's interval";
    EXPECT_EQ(std::tuple(Cell(kRingTable, 1, 3), Cell(kRingTable, 2, 2), Cell(kRingTable, 2, 0)),
              std::tuple(QString("-"), QString("cut 1"), QString("3 (anchor)")));

    // The treble clicked: its pass comes back exactly as kept.
    w.Item<QTableWidget>(kRingTable)->cellClicked(0, 0);
    const Bell& shown = w.CurrentBell();
    ASSERT_EQ(shown.tuning.partials.size(), kept[1].partials.size());
    for (std::size_t i = 0; i < kept[1].partials.size(); ++i) EXPECT_EQ(shown.tuning.partials[i].frequencyHz, kept[1].partials[i].frequencyHz);
    EXPECT_TRUE(shown.spectrum.Measured() && w.ShownPass() == "Bell 1, as received");

    // The tenor's history: two passes, the cut moved every partial by -3 cents, and its spectra overlaid.
    w.Item<QTableWidget>(kRingTable)->cellClicked(2, 0);
    EXPECT_EQ(w.ShownPass(), "Bell 3, cut 1");
    auto* history = w.Item<QTableWidget>(kHistoryTable);
    ASSERT_EQ(std::pair(history->rowCount(), history->columnCount()), std::pair(7, 6));
    EXPECT_EQ(history->horizontalHeaderItem(3)->text(), "cut 1");
    const double moved = 1200.0 * std::log2(Nominal(kept[2]) / Nominal(kept[0]));
    EXPECT_NEAR(moved, -3.0, 0.01);
    EXPECT_EQ(Cell(kHistoryTable, 4, 4).toStdString(), UnitsText(moved, TuningUnits::Cents)) << "the nominal's change";
    const auto& curves = static_cast<HistoryPlot*>(w.GetDlgItem(kHistoryPlot))->Curves();
    ASSERT_EQ(curves.size(), 2u);
    const auto peakAt = [](const std::vector<double>& levels, double from, double to) {
        double best = -1e9, where = 0;
        for (std::size_t k = 0; k < levels.size(); ++k) {
            const double cents = HistoryPlot::kFromCents + (HistoryPlot::kToCents - HistoryPlot::kFromCents) * k / (levels.size() - 1);
            if (cents >= from && cents <= to && levels[k] > best) best = levels[k], where = cents;
        }
        return where;
    };
    const double step = (HistoryPlot::kToCents - HistoryPlot::kFromCents) / (curves[0].levelsDb.size() - 1);
    EXPECT_NEAR(peakAt(curves[0].levelsDb, -50, 50), 0.0, step);
    EXPECT_NEAR(peakAt(curves[1].levelsDb, -50, 50), -3.0, step);

    // The first pass chosen in the history stands for the tenor in the ring table.
    history->horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(std::pair(w.ShownPass(), Cell(kRingTable, 2, 2).toStdString()), std::pair(std::string("Bell 3, as received"), std::string("as received")));
    EXPECT_EQ(w.CurrentBell().tuning.partials.front().frequencyHz, kept[0].partials.front().frequencyHz);

    // The report: the whole ring (its tables, then each measured bell's history on a page of its own when
    // it does not fit), or the bell on screen.
    for (const bool ring : {true, false}) {
        WhenModalStatic([ring](QWidget* choice) {
            choice->findChild<QRadioButton*>(QString("id%1").arg(ring ? ReportChoiceDialog::kWholeRing : ReportChoiceDialog::kThisBell))->click();
            choice->findChild<QPushButton*>("id1")->click();
        });
        script.fileAnswers.push_back(ring ? "ring.pdf" : "bell.pdf");
        Press(kSaveReport);
    }
    const std::string ringPdf = ReadWholeFile("ring.pdf"), bellPdf = ReadWholeFile("bell.pdf");
    EXPECT_TRUE(ringPdf.rfind("%PDF", 0) == 0 && ringPdf.find("/Count 2") != std::string::npos) << ringPdf.size();
    EXPECT_NE(bellPdf.find("/Count 2"), std::string::npos) << bellPdf.size();  // its page and its decay page

    w.Item<QComboBox>(kUnits)->activated(1);
    w.Item<QComboBox>(kUnits)->setCurrentIndex(1);
    EXPECT_EQ(Cell(kRingTable, 0, 6).toStdString(), "+64.0") << "400 cents in sixteenths";
    EXPECT_EQ(Cell(kHistoryTable, 4, 4).toStdString(), UnitsText(moved, TuningUnits::Sixteenths)) << "the history too";

    // Analysed again with another interval: shown, not kept.
    SetText(kInterval, "1");
    Press(kAnalyseAgain);
    EXPECT_TRUE(w.CurrentBell().tuning.measured && w.ShownPass().empty() && w.CurrentBell().recording.Length() == 44100);
    EXPECT_EQ(Cell(kRingTable, 2, 2).toStdString(), "as received");

    script.fileAnswers.push_back(directory.filePath("copy.campanor").toStdString());
    Menu("actionSaveProjectAs");
    EXPECT_TRUE(QFile::exists(directory.filePath("copy.campanor")) && w.windowTitle().endsWith("copy.campanor"));
    Menu("actionCloseProject");
    EXPECT_TRUE(!w.ProjectIsOpen() && w.Item<QTableWidget>(kRingTable)->rowCount() == 0 && !Enabled(kKeep));
    const std::size_t before = script.messages.size();
    w.OpenGivenFile("tower.campanor");
    EXPECT_TRUE(w.ProjectIsOpen() && script.messages.size() == before);
    EXPECT_EQ(Cell(kRingTable, 2, 2).toStdString(), "cut 1") << "the latest pass again";

    // The ring's settings and the treble's details through their dialogs, kept in the file.
    WhenModalStatic([](QWidget* ask) {
        ask->findChild<QLineEdit*>(QString("id%1").arg(RingSettingsDialog::kPitch))->setText("435");
        ask->findChild<QComboBox*>(QString("id%1").arg(RingSettingsDialog::kTemperament))->setCurrentIndex(1);
        ask->findChild<QPushButton*>("id1")->click();
    });
    Menu("actionRingSettings");
    EXPECT_TRUE(w.Item<QLabel>(kRingTitle)->text().endsWith("at A = 435 Hz")) << w.Item<QLabel>(kRingTitle)->text().toStdString();
    EXPECT_EQ(Cell(kRingTable, 0, 6).toStdString(), UnitsText(386.31, TuningUnits::Sixteenths)) << "a just major third";
    w.Item<QTableWidget>(kRingTable)->cellClicked(0, 0);
    WhenModalStatic([](QWidget* ask) {
        ask->findChild<QLineEdit*>(QString("id%1").arg(BellDetailsDialog::kLabel))->setText("Gabriel");
        ask->findChild<QCheckBox*>(QString("id%1").arg(BellDetailsDialog::kFixed))->click();
        ask->findChild<QPushButton*>("id1")->click();
    });
    Menu("actionBellDetails");
    Menu("actionCloseProject");
    w.OpenGivenFile("tower.campanor");
    EXPECT_EQ(Cell(kRingTable, 0, 1).toStdString(), "Gabriel (not to be tuned)");
    EXPECT_EQ(Cell(kRingTable, 0, 6).toStdString(), UnitsText(386.31, TuningUnits::Sixteenths));
}

}  // namespace
