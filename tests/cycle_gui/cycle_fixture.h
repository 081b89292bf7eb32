#pragma once
// The record-analyse cycle through the real main window, a scripted capture playing a synthetic struck bell.
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cmath>
#include <cstring>

#include "../data/test_files.h"
#include "../gui/main_window_fixture.h"
#include "../support/test_bell.h"
#include "data/number_text.h"
#include "data/partials_file.h"
#include "ui/analysis_progress_dialog.h"
#include "ui/edit_partials_dialog.h"

using namespace MainWindowIds;

inline constexpr std::int32_t kTwoSeconds = 88200;

inline int BlocksFor(std::size_t length) { return static_cast<int>((length + kCaptureBlockSamples - 1) / kCaptureBlockSamples); }

// `quiet` blocks of noise below the trigger (peak 200), then `samples` in capture blocks padded with zeros.
inline std::vector<std::vector<std::int16_t>> BlocksOf(const std::vector<std::int16_t>& samples, int quiet = 0) {
    std::vector<std::int16_t> all(static_cast<std::size_t>(quiet) * kCaptureBlockSamples);
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<std::int16_t>(i % 401) - 200;
    all.insert(all.end(), samples.begin(), samples.end());
    all.resize(static_cast<std::size_t>(BlocksFor(all.size())) * kCaptureBlockSamples, 0);
    std::vector<std::vector<std::int16_t>> blocks;
    for (auto first = all.begin(); first != all.end(); first += kCaptureBlockSamples) blocks.emplace_back(first, first + kCaptureBlockSamples);
    return blocks;
}

// The frequency of the table's row named `partial`, 0 when none is.
inline double NamedFrequency(const PartialTable& table, int partial) {
    for (int row = 0; row < table.count; ++row) {
        if (table.partialIndex[std::size_t(row)] == partial) return table.frequency[std::size_t(row)];
    }
    return 0.0;
}

// The fifteen major-partial edits (frequency, cents and note of each column) as shown.
inline std::vector<std::string> MajorTexts(MainWindow& w) {
    std::vector<std::string> texts;
    for (const auto& column : kMajorEdits) {
        for (const int id : column) texts.push_back(w.Item<QLineEdit>(id)->text().toStdString());
    }
    return texts;
}

// The table and the major partials show the test bell, every frequency x `scale` within one
// spectrum point of 0.5 Hz, with their notes and the nominal at 0 cents.
inline void ExpectBellShown(MainWindow& w, double scale) {
    const PartialTable& table = w.CurrentBell().table;
    for (const BellPartial& p : kTestBell) EXPECT_NEAR(NamedFrequency(table, p.index), p.frequency * scale, 0.5) << p.index;
    const auto text = [&w](int id) { return w.Item<QLineEdit>(id)->text().toStdString(); };
    for (std::size_t column = 0; column < kMajorEdits.size(); ++column) {
        const double frequency = NamedFrequency(table, kMajorColumnPartial[column]);
        EXPECT_EQ(text(kMajorEdits[column][0]) + " " + text(kMajorEdits[column][2]), FormatDouble15(frequency) + " " + NoteName(frequency));
    }
    EXPECT_EQ(text(kMajorEdits[4][1]) + " " + FormatDouble15(w.CurrentBell().table.nominal), "0 " + text(kMajorEdits[4][0])) << "the nominal";
}

// Every edit of `dialog` as "id<N>=text", sorted.
inline std::vector<std::string> EditTexts(const QWidget& dialog) {
    std::vector<std::string> texts;
    for (const QLineEdit* e : dialog.findChildren<QLineEdit*>()) texts.push_back(e->objectName().toStdString() + "=" + e->text().toStdString());
    std::sort(texts.begin(), texts.end());
    return texts;
}

class CycleTest : public MainWindowTest {
protected:
    // The window on a capture that plays `blocks`, then silence.
    MainWindow& Open(std::vector<std::vector<std::int16_t>> blocks = {}) {
        delivered = 0;
        Start(std::move(blocks)).SetProgressTick(1);
        return *window;
    }
    void Press(int id) { window->Item<QPushButton>(id)->click(); }  // nothing happens while disabled
    void ExpectEnabled(std::initializer_list<int> ids, bool enabled) {
        for (const int id : ids) EXPECT_EQ(Enabled(id), enabled) << "control " << id;
    }
    std::vector<std::string> Messages() {
        std::vector<std::string> texts;
        for (const ShownMessage& m : script.messages) texts.push_back(m.text);
        return texts;
    }
    // Presses "Cancel" in the next progress dialog as soon as its loop runs.
    void CancelNextAnalysis() {
        auto* poll = new QTimer(window.get());
        QObject::connect(poll, &QTimer::timeout, poll, [poll] {
            if (auto* dialog = dynamic_cast<AnalysisProgressDialog*>(QApplication::activeModalWidget())) {
                dialog->findChild<QPushButton*>("id2")->click();
                poll->deleteLater();
            }
        });
        poll->start(0);
    }
    std::vector<std::string> TunersSession();
};

// A tuner's session from start-up to exit, with a mistyped number and every failed file operation on
// the way; returns every text and file the user saw or kept.
inline std::vector<std::string> CycleTest::TunersSession() {
    script.messages.clear();
    MainWindow& w = Open(BlocksOf(BellSamples(kTwoSeconds), 2));
    SetText(kSpeedAdjust, "1,02");
    w.OnParameterKillFocus();
    std::vector<std::string> out = Messages();
    EXPECT_EQ(out, std::vector<std::string>{"Please enter a number."});
    for (const auto& [id, text] : {std::pair{kSpeedAdjust, "1.02"}, {kLowNominal, "100.5"}, {kHighNominal, "2e3"}}) SetText(id, text);
    Press(kStartAnalysis);
    EXPECT_EQ(Text(kStatus), "wait for trigger");
    ExpectEnabled({kStartAnalysis, kExit, kInterval, kSaveRecording, kViewPartials, kAddPartial}, false);
    Deliver(2);
    EXPECT_EQ(Text(kSamples), "0") << "quiet blocks do not trigger";
    Deliver(BlocksFor(kTwoSeconds));
    EXPECT_EQ(Text(kStatus) + " " + Text(kSamples), "stopped 88200");
    EXPECT_EQ(w.CurrentBell().analysed.Length(), 86470) << "trunc(88200 / 1.02): stretched before the analysis";
    ExpectBellShown(w, 1.02);
    ExpectEnabled({kStartAnalysis, kExit, kSaveRecording, kSavePartials, kViewPartials, kAddPartial}, true);
    EXPECT_FALSE(Enabled(kStopAnalysis));
    const std::vector<std::string> shown = EditTexts(w);
    const PartialTable analysed = w.CurrentBell().table;
    WhenModalStatic([&](QWidget* grid) {  // the whole table, read-only
        for (std::size_t row = 0; row < EditPartialsDialog::kRows; ++row) {
            const auto& ids = EditPartialsDialog::kCellIds[row];
            const auto cell = [grid, &ids](int column) { return grid->findChild<QLineEdit*>(QString("id%1").arg(ids[column])); };
            EXPECT_TRUE(cell(0)->isReadOnly() && cell(3)->isReadOnly());
            EXPECT_EQ((cell(0)->text() + " " + cell(1)->text() + " " + cell(2)->text() + " " + cell(4)->text()).toStdString(),
                      FormatDouble15(analysed.frequency[row]) + " " + FormatDouble15(analysed.tailAmplitude[row]) + " " +
                          FormatDouble15(analysed.cents[row]) + " " + analysed.note[row]) << row;
            EXPECT_TRUE(analysed.partialIndex[row] != 3 || cell(3)->text() == "nominal");
        }
        const std::vector<std::string> cells = EditTexts(*grid);
        out.insert(out.end(), cells.begin(), cells.end());
        grid->findChild<QPushButton*>("id1")->click();
    });
    Press(kViewPartials);

    struct Failure { int command; const char* answer; const char* content; const char* message; };
    const Failure failures[] = {  // each says why (a cancel says nothing) and changes nothing
        {kSaveRecording, nullptr, nullptr, nullptr},
        {kSaveRecording, "missing/x.wav", nullptr, "Error writing file!"},
        {kSavePartials, "missing/x.par", nullptr, "Error writing file!"},
        {kReadPartials, nullptr, nullptr, "No file selected!"},
        {kReadPartials, "absent.par", nullptr, "Failed to open file!"},
        {kReadPartials, "five.par", "Partials\r\nwave file is , nominal: 500\r\nhead\r\n1,2,3,4,5\r\n", "File format error!"},
        {kReadPartials, "none.par", "Partials\r\nFile is: x\r\nnominal: 500\r\n", "No nominal in file!"},
    };
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.answer ? f.answer : "cancelled");
        script.messages.clear();
        if (f.content != nullptr) WriteWholeFile(f.answer, f.content);
        script.fileAnswers.push_back(f.answer ? std::optional<std::string>(f.answer) : std::nullopt);
        Press(f.command);
        EXPECT_EQ(Messages(), f.message ? std::vector<std::string>{f.message} : std::vector<std::string>{});
        EXPECT_EQ(EditTexts(w), shown);
        EXPECT_TRUE(w.CurrentBell().table.frequency == analysed.frequency && w.CurrentBell().table.nominal == analysed.nominal &&
                    w.CurrentBell().sound == SoundState::Recorded);
        ExpectEnabled({kSaveRecording, kSavePartials, kViewPartials}, true);
    }
    script.messages.clear();
    script.fileAnswers.insert(script.fileAnswers.end(), {"tenor", "tenor"});
    Press(kSaveRecording);
    Press(kSavePartials);
    const std::string wave = ReadWholeFile("tenor.wav"), partials = ReadWholeFile("tenor.par");
    EXPECT_TRUE(wave.size() == 48u + 2u * 86470u && std::memcmp(wave.data() + 48, w.CurrentBell().analysed.Data(), 2u * 86470u) == 0);
    EXPECT_EQ(partials, FormatPartials(analysed, ""));
    EXPECT_TRUE(w.CurrentBell().sound == SoundState::Saved && Enabled(kSaveRecording)) << "saved, and can be saved again";
    out.insert(out.end(), {wave, partials});
    out.insert(out.end(), shown.begin(), shown.end());

    WriteWholeFile("other.par", "Partials\nFile is: x.wav\nNominal: 500\nFreq., Ampl., Cents, Partial, Note\n"
                                "125,10,0,,\n250,8,0,,\n300,9,0,,\n500,20,0,,\n");
    script.fileAnswers.push_back("other.par");
    Press(kReadPartials);
    EXPECT_EQ(Text(kMajorEdits[4][0]) + " " + Text(kMajorEdits[0][0]) + " " + Text(kMajorEdits[3][0]), "500 125 0");
    Press(kStartAnalysis);  // stopped at once: nothing left to view or save...
    Press(kStopAnalysis);
    ExpectEnabled({kSaveRecording, kSavePartials, kViewPartials}, false);
    script.fileAnswers.push_back("tenor.par");  // ...until the saved partials are read back
    Press(kReadPartials);
    EXPECT_EQ(EditTexts(w), shown);
    ExpectEnabled({kSavePartials, kViewPartials}, true);
    EXPECT_TRUE(script.messages.empty());
    WhenModalStatic([](QWidget* confirmation) { confirmation->findChild<QPushButton*>("id1")->click(); });
    Press(kExit);
    EXPECT_TRUE(w.Ended() && !capture->IsOpen()) << "ended, with the input closed";
    window.reset();
    return out;
}
