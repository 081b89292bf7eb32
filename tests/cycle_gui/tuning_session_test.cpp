// A tuner's session with the tuning panel: strikes averaged in continuous mode with an odd one left
// out, a sound file analysed exactly as the command-line analyser does it, the partials file read
// back into the panel, and the report written.
#include <QComboBox>
#include <QDropEvent>
#include <QMimeData>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QTableWidget>
#include <QTest>

#include "cycle_fixture.h"
#include "data/wave_file.h"
#include "tuning/tuning_text.h"
#include "ui/spectrum_geometry.h"
#include "ui/tuning_table.h"

namespace {

// The bell `scale` times higher (its decay as much faster), from its strike on.
std::vector<std::int16_t> BellScaled(double scale) {
    std::vector<std::int16_t> samples(kTwoSeconds);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = BellAt(static_cast<double>(i) / 44100.0 * scale);
    return samples;
}

double PreciseNominal(const TuningReport& report) {
    for (const TunedPartial& p : report.partials) if (p.name == "nominal") return p.frequencyHz;
    return 0.0;
}

TEST_F(CycleTest, ATuningSessionInThePanel) {
    std::vector<std::vector<std::int16_t>> blocks;
    for (const double scale : {1.0, 1.0004, 0.9996, std::exp2(60.0 / 1200.0)}) {  // the last one 60 cents sharp
        const auto strike = BlocksOf(BellScaled(scale), 1);
        blocks.insert(blocks.end(), strike.begin(), strike.end());
    }
    MainWindow& w = Open(std::move(blocks));
    auto* panel = w.Item<QTableWidget>(kTuningTable);
    const auto cell = [panel](const char* partial, int column) {
        for (int row = 0; row < panel->rowCount(); ++row)
            if (panel->item(row, 0)->text() == partial) return panel->item(row, column);
        return static_cast<QTableWidgetItem*>(nullptr);
    };
    w.Item<QRadioButton>(kContinuous)->click();
    Press(kStartAnalysis);
    std::vector<double> nominals;
    for (int strike = 0; strike < 4; ++strike, nominals.push_back(PreciseNominal(w.CurrentBell().tuning))) {
        Deliver(1 + BlocksFor(kTwoSeconds));
        if (strike == 0) {
            EXPECT_EQ(cell("nominal", 7)->text().toStdString(), FixedText(PreciseNominal(w.CurrentBell().tuning), 4) + " \u00b1 0");
        }
    }
    Press(kStopAnalysis);
    const double mean = (nominals[0] + nominals[1] + nominals[2]) / 3;
    double squares = 0.0;
    for (int i = 0; i < 3; ++i) squares += (nominals[i] - mean) * (nominals[i] - mean);
    ASSERT_EQ(panel->rowCount(), 7);
    EXPECT_NEAR(nominals[1] / nominals[0], 1.0004, 1e-6);
    EXPECT_EQ(cell("nominal", 7)->text().toStdString(), FrequencyWithUncertainty(mean, std::sqrt(squares / 2), "\u00b1"));
    EXPECT_EQ(cell("nominal", 8)->text().toStdString(), "+0.00 \u00b1 0.00") << "the nominal is its own reference";
    EXPECT_NE(w.Item<QLabel>(kTuningStatus)->text().toStdString().find("3 strikes averaged since Reset, 1 strike left out"), std::string::npos);
    EXPECT_EQ(w.Item<QLabel>(kStrikeNote)->text().toStdString(), StrikeNoteText(w.CurrentBell().tuning));
    // The test bell's tierce is 7.2 cents flat and its octave nominal 8.6 sharp of the just ideal.
    const auto colour = [&](const char* partial) { return cell(partial, 4)->background().color(); };
    EXPECT_EQ(std::tuple(colour("tierce"), colour("oct. nom."), colour("hum")),
              std::tuple(StandingColour(Standing::Within), StandingColour(Standing::Within), StandingColour(Standing::Within)));
    w.Item<QDoubleSpinBox>(kTolerance)->setValue(4.0);
    EXPECT_EQ(std::tuple(colour("tierce"), colour("oct. nom."), colour("hum")),
              std::tuple(StandingColour(Standing::Beyond), StandingColour(Standing::FarBeyond), StandingColour(Standing::Within)));
    EXPECT_EQ(cell("tierce", 4)->text().at(0), '-');
    EXPECT_EQ(cell("tierce", 8)->background().color(), StandingColour(Standing::Beyond)) << "the mean deviation too";
    EXPECT_NE(cell("tierce", 7)->background().color(), StandingColour(Standing::Beyond)) << "the mean frequency never";
    // Against the tempered ideal (tierce -900) the tierce is 8.41 sharp; a founder's file with a bad
    // line is refused with its line and the choice goes back; a new ideal starts the averages again.
    auto* ideal = w.Item<QComboBox>(kIdealChoice);
    ideal->setCurrentIndex(1), emit ideal->activated(1);
    EXPECT_EQ(cell("tierce", 4)->text().toStdString(), "+8.41");
    WriteWholeFile("founder.txt", "tierce,-890\nquint\n");
    script.fileAnswers = {"founder.txt"};
    ideal->setCurrentIndex(2), emit ideal->activated(2);
    EXPECT_EQ(std::tuple(ideal->currentIndex(), w.Ideal().name, script.messages.back().text),
              std::tuple(1, std::string("tempered"), "founder.txt:2: " + IdealFileErrorText(kIdealLineNoComma)));
    EXPECT_TRUE(cell("nominal", 7)->text().isEmpty() && w.CurrentBell().strikes.accepted() == 0);
    script.messages.clear();

    // A file (silence, then the bell) analysed by the window and by the command-line analyser.
    std::vector<std::int16_t> bell(2 * kCaptureBlockSamples, 0), strike = BellScaled(1.0);
    bell.insert(bell.end(), strike.begin(), strike.end());
    ASSERT_TRUE(SaveWaveFile("bell.wav", WithSamples({}, bell)));
    script.fileAnswers = {"window.par", "report.pdf", "window.par"};
    QMimeData dragged;  // dropped on the window
    dragged.setUrls({QUrl::fromLocalFile(directory.filePath("bell.wav"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &dragged, Qt::LeftButton, {});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &dragged, Qt::LeftButton, {});
    QApplication::sendEvent(&w, &enter), QApplication::sendEvent(&w, &drop);
    EXPECT_TRUE(enter.isAccepted() && drop.isAccepted());
    EXPECT_TRUE(w.CurrentBell().sound == SoundState::Recorded && std::equal(strike.begin(), strike.end(), w.CurrentBell().recording.Data()));
    Press(kSavePartials);
    EXPECT_EQ(script.fileRequests.back().initialName, directory.filePath("bell.par").toStdString());
    ASSERT_EQ(std::system(CAMPANOR_ANALYSE " --format par -o tool.par bell.wav"), 0);
    EXPECT_EQ(ReadWholeFile("window.par"), ReadWholeFile("tool.par"));
    Press(kSaveReport);
    const std::string pdf = ReadWholeFile("report.pdf");
    EXPECT_TRUE(pdf.rfind("%PDF", 0) == 0 && pdf.find("/Count 2") != std::string::npos) << pdf.size();  // the decay page after the first

    Press(kStartAnalysis), Press(kStopAnalysis);
    EXPECT_TRUE(w.CurrentBell().request.waveFileName.empty()) << "a live recording is not the file any more";
    Press(kReadPartials);
    EXPECT_FALSE(w.CurrentBell().tuning.measured);
    EXPECT_EQ(std::tuple(panel->rowCount(), cell("nominal", 1)->text(), cell("quint", 5)->text()),
              std::tuple(7, QString::fromStdString(FixedText(w.CurrentBell().table.nominal, 3)), QString("-")));
    EXPECT_EQ(w.Item<QLabel>(kTuningStatus)->text().left(30).toStdString(), "From the partials file alone: ");
    EXPECT_TRUE(script.messages.empty()) << script.messages.front().text;

    // Named on the command line: a project file is opened (a missing one said in words), a sound file analysed as if dropped.
    w.OpenGivenFile("ring.campanor");
    ASSERT_FALSE(script.messages.empty());
    EXPECT_EQ(script.messages.back().text, ProjectOpenText(ProjectMissing, "ring.campanor"));
    EXPECT_FALSE(w.ProjectIsOpen());
    w.OpenGivenFile(directory.filePath("bell.wav").toStdString());
    EXPECT_TRUE(w.CurrentBell().tuning.measured && w.CurrentBell().request.waveFileName == directory.filePath("bell.wav").toStdString());
}

// A strike too loud for the input, then a file that ends too early: each report's warnings follow the status, all
// of them in full in its tool tip, and only their count and codes where the texts would run past the label.
TEST_F(CycleTest, WarningsFollowTheStatus) {
    std::vector<std::int16_t> loud = BellScaled(1.0);
    for (std::int16_t& s : loud) s = static_cast<std::int16_t>(std::clamp(2 * s, -32768, 32767));
    MainWindow& w = Open(BlocksOf(loud, 1));
    Press(kStartAnalysis);
    Deliver(1 + BlocksFor(kTwoSeconds));
    auto* status = w.Item<QLabel>(kTuningStatus);
    ASSERT_FALSE(w.CurrentBell().tuning.warnings.empty());
    EXPECT_EQ(std::tuple(w.CurrentBell().tuning.warnings.front().code, w.CurrentBell().tuning.clippedSamples),
              std::tuple("clipped", std::count_if(loud.begin(), loud.end(), [](int s) { return s == 32767 || s == -32768; })));
    EXPECT_EQ(status->text().toStdString(), "Measured from the recording. " + WarningsText(w.CurrentBell().tuning));
    EXPECT_EQ(status->toolTip().split('\n').size(), static_cast<qsizetype>(w.CurrentBell().tuning.warnings.size()));
    EXPECT_TRUE(status->toolTip().startsWith(QString::fromStdString(WarningLine(w.CurrentBell().tuning.warnings.front()))));
    const int width = status->width();
    status->resize(150, status->height()), w.ShowTuning();
    const std::size_t count = w.CurrentBell().tuning.warnings.size();
    EXPECT_TRUE(status->text().startsWith(QString("Measured from the recording. %1 warning%2: clipped")
                                              .arg(count).arg(count == 1 ? "" : "s")))
        << status->text().toStdString();
    status->resize(width, status->height());

    const std::vector<std::int16_t> strike = BellScaled(1.0);  // the bell's first second, where the record length wants two
    const Recording file = WithSamples({}, {strike.begin(), strike.begin() + 44100});
    ASSERT_TRUE(SaveWaveFile("short.wav", file) && w.AnalyseSoundFile("short.wav"));
    const std::vector<std::string> codes = WarningCodes(w.CurrentBell().tuning);
    EXPECT_TRUE(w.CurrentBell().tuning.clippedSamples == 0 && std::find(codes.begin(), codes.end(), "padded") != codes.end() &&
                std::find(codes.begin(), codes.end(), "clipped") == codes.end()) << testing::PrintToString(codes);
    EXPECT_TRUE(status->toolTip().contains("Warning (padded): ")) << status->toolTip().toStdString();
}

// The bell without its quint, so the table names none; a partial added at the quint's place is named quint, and
// the panel is measured again from the recording with the new table (the strike averages stay as they were).
TEST_F(CycleTest, AnAddedPartialIsMeasuredLikeTheRest) {
    std::vector<std::int16_t> bell = BellScaled(1.0);
    const BellPartial& quint = kTestBell[3];
    for (std::size_t i = 0; i < bell.size(); ++i) {
        const double t = static_cast<double>(i) / 44100.0;
        bell[i] = static_cast<std::int16_t>(bell[i] - quint.amplitude * std::exp(-t / quint.decay) *
                                                          std::sin(2.0 * M_PI * quint.frequency * t + 2.1));
    }
    MainWindow& w = Open(BlocksOf(bell, 1));
    Press(kStartAnalysis);
    Deliver(1 + BlocksFor(kTwoSeconds));
    const auto names = [](const TuningReport& report) {
        std::vector<std::string> list;
        for (const TunedPartial& p : report.partials) list.push_back(p.name);
        return list;
    };
    const std::vector<std::string> before = names(w.CurrentBell().tuning);
    ASSERT_TRUE(w.CurrentBell().tuning.measured && std::find(before.begin(), before.end(), "quint") == before.end());
    // The cursor on the quint: a click near it, "Scale" down to one point a column around the cursor, a click on it.
    const SpectrumView& view = w.View();
    const int point = static_cast<int>(std::round(quint.frequency * 2.0));
    const auto click = [&] {
        const int column = PointColumn(point, view.firstBin, view.binsPerPixel);
        QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(view.frameRect.left + column, view.frameRect.top + 50));
    };
    click();
    while (view.binsPerPixel != 1) Press(kScale);
    click();
    ASSERT_EQ(view.cursorFrequency, point / 2.0);
    EXPECT_EQ(Text(kCursorFrequency).toStdString() + " " + Text(kCursorAmplitude).toStdString(),
              FormatDouble15(point / 2.0) + " " + FormatDouble15(view.cursorAmplitude)) << "the readouts show the cursor";
    Press(kAddPartial);
    const std::vector<std::string> after = names(w.CurrentBell().tuning);
    EXPECT_NE(std::find(after.begin(), after.end(), "quint"), after.end()) << testing::PrintToString(after);
    EXPECT_EQ(after.size(), before.size() + 1);
    EXPECT_TRUE(w.CurrentBell().tuning.measured && w.Item<QTableWidget>(kTuningTable)->rowCount() == static_cast<int>(after.size()));
    EXPECT_EQ(w.CurrentBell().strikes.accepted(), 0);
}

}  // namespace
