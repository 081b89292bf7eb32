// The window's file commands and the partials grid: "Save recording" (the
// bytes, a cancel, a failed write), "Save partials" and "Read partials" with
// every result code, and "View partials".
#include <sys/resource.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <csignal>

#include "../data/test_files.h"
#include "cycle_fixture.h"
#include "data/partials_file.h"
#include "ui/edit_partials_dialog.h"
#include "ui/toolkit/dialog_units.h"

using namespace MainWindowIds;

namespace {

constexpr std::int32_t kShortRecording = 8820;  // 5 Hz

void AppendLe(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

class WindowFilesTest : public CycleTest {
protected:
    // A recording of a known ramp at 5 Hz, analysed once.
    MainWindow& Record() {
        ramp.resize(kShortRecording);
        for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::int16_t>(i * 7 - 30000);
        MainWindow& w = Open(BlocksOf(ramp));
        w.Item<QCheckBox>(kWaitForTrigger)->click();
        Type(kInterval, "5");
        Press(kStartAnalysis);
        Deliver(BlocksFor(kShortRecording));
        return w;
    }

    std::vector<std::int16_t> ramp;
};

TEST_F(WindowFilesTest, SaveRecordingWritesTheWaveFile) {
    MainWindow& w = Record();
    ASSERT_EQ(w.sound.soundState, SoundState::Recorded);
    Press(kSaveRecording);  // no answer queued: the user cancels
    ASSERT_EQ(script.fileRequests.size(), 1u);
    const FileDialogRequest& request = script.fileRequests[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.filter, "Waveform files (.wav)|*.wav|");
    EXPECT_EQ(request.defaultExtension, "wav");
    EXPECT_EQ(request.initialName, "");
    EXPECT_EQ(w.sound.soundState, SoundState::Recorded);
    EXPECT_TRUE(QDir().entryList(QDir::Files).filter(".wav").isEmpty());

    script.fileAnswers.push_back("strike");
    Press(kSaveRecording);
    std::string expected = "RIFF";
    AppendLe(expected, 2 * kShortRecording + 40, 4);
    expected += "WAVEfmt ";
    for (const auto& [value, size] : {std::pair{20u, 4}, {1u, 2}, {1u, 2}, {44100u, 4}, {88200u, 4}, {2u, 2},
                                      {16u, 2}, {0u, 2}, {0u, 2}}) {
        AppendLe(expected, value, size);
    }
    expected += "data";
    AppendLe(expected, 2 * kShortRecording, 4);
    for (const std::int16_t sample : ramp) AppendLe(expected, static_cast<std::uint16_t>(sample), 2);
    EXPECT_EQ(ReadWholeFile("strike.wav"), expected);
    EXPECT_EQ(w.sound.soundState, SoundState::Saved);
    EXPECT_TRUE(Enabled(kSaveRecording)) << "the same sound can be saved again";
    EXPECT_TRUE(script.messages.empty());
}

TEST_F(WindowFilesTest, AFailedSaveKeepsTheEarlierFile) {
    MainWindow& w = Record();
    WriteWholeFile("strike.wav", "earlier");
    // A full disk: no file may grow beyond 4096 bytes while saving.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit limit = saved;
    limit.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    script.fileAnswers.push_back("strike.wav");
    Press(kSaveRecording);
    script.fileAnswers.push_back("bell.par");
    Press(kSavePartials);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    std::signal(SIGXFSZ, previousHandler);

    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0].text, "Error writing file!");
    EXPECT_EQ(ReadWholeFile("strike.wav"), "earlier");
    EXPECT_EQ(w.sound.soundState, SoundState::Recorded);
    EXPECT_EQ(ReadWholeFile("bell.par"), FormatPartials(w.table, "")) << "a small file still fits";

    script.fileAnswers.push_back("missing-folder/bell.par");
    Press(kSavePartials);
    ASSERT_EQ(script.messages.size(), 2u);
    EXPECT_EQ(script.messages[1].text, "Error writing file!");
}

TEST_F(WindowFilesTest, PartialsAreSavedAndReadBack) {
    MainWindow& w = Open();  // the start-up bell's partials
    const std::vector<QString> shown = MajorTexts(w);
    const PartialTable saved = w.table;
    script.fileAnswers.push_back("bell");
    Press(kSavePartials);
    ASSERT_EQ(script.fileRequests.size(), 1u);
    EXPECT_EQ(script.fileRequests[0].filter, "Partials files (.par)|*.par|");
    EXPECT_EQ(script.fileRequests[0].defaultExtension, "par");
    EXPECT_EQ(script.fileRequests[0].initialName, "") << "waveFileName, never set";
    EXPECT_EQ(ReadWholeFile("bell.par"), FormatPartials(saved, ""));

    // Another bell in the short layout replaces the display...
    WriteWholeFile("other.par", "Partials\nFile is: x.wav\nNominal: 500\nFreq., Ampl., Cents, Partial, Note\n"
                                "125,10,0,,\n250,8,0,,\n300,9,0,,\n500,20,0,,\n");
    script.fileAnswers.push_back("other.par");
    Press(kReadPartials);
    EXPECT_EQ(w.table.count, 4);
    EXPECT_EQ(Text(kMajorEdits[4][0]), "500");
    EXPECT_EQ(Text(kMajorEdits[0][0]), "125");
    EXPECT_EQ(Text(kMajorEdits[3][0]), "0") << "no quint in that file";

    // ...and reading the saved file brings the first one back.
    script.fileAnswers.push_back("bell.par");
    Press(kReadPartials);
    EXPECT_EQ(script.fileRequests.back().save, false);
    EXPECT_EQ(script.fileRequests.back().filter, "Partials files (.par)|*.par|");
    EXPECT_EQ(script.fileRequests.back().defaultExtension, "");
    EXPECT_EQ(MajorTexts(w), shown);
    EXPECT_EQ(w.table.count, saved.count);
    EXPECT_EQ(w.table.frequency, saved.frequency);
    EXPECT_EQ(w.table.tailAmplitude, saved.tailAmplitude);
    EXPECT_EQ(w.table.partialIndex, saved.partialIndex);
    EXPECT_EQ(w.table.nominal, saved.nominal);
    EXPECT_TRUE(Enabled(kViewPartials) && Enabled(kSavePartials));
    EXPECT_TRUE(script.messages.empty());
}

struct ReadCase {
    const char* content;  // written to the answered file; nullptr: see `answer`
    const char* answer;   // the path answered, nullptr for Cancel
    const char* message;
};

TEST_F(WindowFilesTest, EveryReadFailureIsReportedAndChangesNothing) {
    const ReadCase cases[] = {
        {nullptr, nullptr, "No file selected!"},
        {nullptr, "absent.par", "Failed to open file!"},
        {nullptr, ".", "Failed to open file!"},
        {"partials\r\nwave file is , nominal: 500\r\n", "lower.par", "Not a partials file!"},
        {"Partials\r\nwave file is , nominal: 500\r\n", "short.par", "File format error!"},
        {"Partials\r\nwave file is , nominal: 500\r\nheader\r\n1,2,3,4,5\r\n", "five.par", "File format error!"},
        {"Partials\r\nFile is: x\r\nnominal: 500\r\n", "nonominal.par", "No nominal in file!"},
    };
    MainWindow& w = Open();
    const std::vector<QString> shown = MajorTexts(w);
    const PartialTable before = w.table;
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.message);
        script.messages.clear();
        if (c.content != nullptr) WriteWholeFile(c.answer, c.content);
        script.fileAnswers.push_back(c.answer ? std::optional<std::string>(c.answer) : std::nullopt);
        Press(kReadPartials);
        ASSERT_EQ(script.messages.size(), 1u);
        EXPECT_EQ(script.messages[0].text, c.message);
        EXPECT_EQ(MajorTexts(w), shown);
        EXPECT_EQ(w.table.count, before.count) << "the partials still shown can still be saved";
        EXPECT_EQ(w.table.frequency, before.frequency);
        EXPECT_EQ(w.table.nominal, before.nominal);
        EXPECT_TRUE(w.table.partialsValid);
        EXPECT_TRUE(Enabled(kViewPartials) && Enabled(kSavePartials));
    }
}

TEST_F(WindowFilesTest, ViewPartialsShowsTheWholeTableAndLeavesItExact) {
    MainWindow& w = Open();
    w.table.Clear();
    w.table.AddPeak(151.123456789012345, 0, 1.0 / 3.0, 0, 0, 0);
    w.table.AddPeak(300.7, 0, 2.5, 0, 0, 1);
    w.table.AddPeak(600.3, 0, 12.5, 0, 0, 3);
    w.table.nominal = 600.3;
    w.table.UpdateCentsAndNotes();
    w.table.partialIndex[1] = 0;  // two rows with the same name
    const PartialTable before = w.table;
    for (int round = 0; round < 2; ++round) {
        bool checked = false;
        MainWindowTest::WhenModalStatic([&](QWidget* modal) {
            auto* grid = dynamic_cast<EditPartialsDialog*>(modal);
            ASSERT_NE(grid, nullptr);
            EXPECT_EQ(grid->windowTitle(), "Edit Partials");
            EXPECT_EQ(grid->Item<QLineEdit>(EditPartialsDialog::kNominalId)->text(), "600.3");
            const auto cell = [grid](int row, int column) {
                auto* edit = grid->Item<QLineEdit>(EditPartialsDialog::kCellIds[row][column]);
                EXPECT_TRUE(edit->isReadOnly());
                return edit->text().toStdString();
            };
            EXPECT_EQ(cell(0, 0), "151.123456789012");
            EXPECT_EQ(cell(0, 1), "0.333333333333333");
            EXPECT_EQ(cell(0, 2), FormatDouble15(before.cents[0]));
            EXPECT_EQ(cell(0, 3), "hum");
            EXPECT_EQ(cell(1, 3), "hum");
            EXPECT_EQ(cell(2, 3), "nominal");
            EXPECT_EQ(cell(2, 4), NoteName(600.3));
            for (int row = 3; row < EditPartialsDialog::kRows; ++row) {
                // UpdateCentsAndNotes gave the unused rows the blank note of 0 Hz.
                EXPECT_EQ(cell(row, 0) + cell(row, 1) + cell(row, 2) + "|" + cell(row, 3) + "|" + cell(row, 4),
                          "000||" + NoteName(0.0))
                    << "row " << row;
            }
            EXPECT_EQ(grid->GetDlgItem(EditPartialsDialog::kCellIds[0][0])->geometry(),
                      DialogUnitsToPixels({7, 32, 45, 12}));
            EXPECT_EQ(grid->GetDlgItem(EditPartialsDialog::kCellIds[24][4])->geometry(),
                      DialogUnitsToPixels({191, 320, 45, 12}));
            EXPECT_EQ(grid->findChild<QLabel*>("id1136")->text(), "Amplitude");
            checked = true;
            grid->findChild<QPushButton*>("id1")->click();
        });
        Press(kViewPartials);
        EXPECT_TRUE(checked);
        EXPECT_EQ(w.table.frequency, before.frequency) << "OK wrote nothing back";
        EXPECT_EQ(w.table.tailAmplitude, before.tailAmplitude);
        EXPECT_EQ(w.table.cents, before.cents);
        EXPECT_EQ(w.table.partialNames, before.partialNames);
        EXPECT_EQ(w.table.nominal, before.nominal);
    }
}

}  // namespace
