// One whole session as a tuner goes through it: start, strike, read the
// partials, save the recording and the partials, read them back, exit.
#include <QLineEdit>

#include "../data/test_files.h"
#include "cycle_fixture.h"
#include "ui/edit_partials_dialog.h"

using namespace MainWindowIds;

namespace {

TEST_F(CycleTest, ATunersSession) {
    // Start: the start-up bell is shown, the recorder waits for a command.
    MainWindow& w = Open(BlocksOf(BellSamples(88200), 2));
    ASSERT_TRUE(started);
    EXPECT_EQ(Text(kStatus), "stopped");
    EXPECT_FALSE(Enabled(kSaveRecording));

    // Strike: "Start analysis" waits for the trigger; the bell is struck
    // after two quiet blocks, recorded for 2 s, analysed and named.
    Press(kStartAnalysis);
    EXPECT_EQ(Text(kStatus), "wait for trigger");
    Deliver(2 + BlocksFor(88200));
    EXPECT_EQ(Text(kStatus), "stopped");
    ExpectBellShown(1.0);

    // Read: the whole table in the grid, closed with OK.
    std::string nominalShown;
    MainWindowTest::WhenModalStatic([&nominalShown](QWidget* grid) {
        nominalShown = grid->findChild<QLineEdit*>("id1048")->text().toStdString();
        grid->findChild<QPushButton*>("id1")->click();
    });
    Press(kViewPartials);
    EXPECT_EQ(nominalShown, FormatDouble15(w.table.nominal));

    // Save: the recording and the partials.
    script.fileAnswers.push_back("tenor");
    Press(kSaveRecording);
    EXPECT_EQ(ReadWholeFile("tenor.wav").size(), 48u + 2u * 88200u);
    script.fileAnswers.push_back("tenor");
    Press(kSavePartials);
    EXPECT_EQ(ReadWholeFile("tenor.par").rfind("Partials\r\nwave file is , nominal: ", 0), 0u);
    const std::vector<QString> shown = MajorTexts(w);

    // A new start that is stopped leaves no partials to view or save...
    Press(kStartAnalysis);
    Press(kStopAnalysis);
    EXPECT_FALSE(Enabled(kViewPartials));
    // ...until the saved file is read back.
    script.fileAnswers.push_back("tenor.par");
    Press(kReadPartials);
    EXPECT_EQ(MajorTexts(w), shown);
    EXPECT_TRUE(Enabled(kViewPartials));
    EXPECT_TRUE(script.messages.empty());

    // Exit: confirmed in the exit dialog; the input is closed first.
    MainWindowTest::WhenModalStatic([](QWidget* confirmation) {
        EXPECT_EQ(confirmation->windowTitle(), "Exiting Campanor");
        confirmation->findChild<QPushButton*>("id1")->click();
    });
    Press(kExit);
    EXPECT_TRUE(w.Ended());
    EXPECT_EQ(w.result(), IDOK);
    EXPECT_FALSE(capture->IsOpen());
}

}  // namespace
