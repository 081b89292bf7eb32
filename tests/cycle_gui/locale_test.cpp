// The program's file output and its edits do not depend on the user's
// locale: a whole session under a comma-decimal locale (German) gives the
// same bytes and texts as under C.
#include <QCheckBox>
#include <QLineEdit>
#include <QLocale>
#include <clocale>
#include <cstdio>

#include "../data/test_files.h"
#include "cycle_fixture.h"

using namespace MainWindowIds;

namespace {

// Every edit of `dialog` as "id<N>=text", in id order.
std::vector<std::string> EditTexts(const QWidget& dialog) {
    std::vector<std::string> texts;
    for (const QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
        texts.push_back(edit->objectName().toStdString() + "=" + edit->text().toStdString());
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}

struct SessionOutput {
    std::vector<std::string> messages;
    std::string waveFile;
    std::string partialsFile;
    std::vector<std::string> afterAnalysis;  // the window's edits
    std::vector<std::string> grid;           // the partials grid's cells
    std::vector<std::string> afterReading;   // the window's edits after reading the file back
    double speedAdjust = 0.0;
    double lowNominal = 0.0;
};

class LocaleTest : public CycleTest {
protected:
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale::c());
        CycleTest::TearDown();
    }

    // Types parameters (once with a decimal comma, which is no number),
    // records and analyses a bell, saves both files, views the grid and
    // reads the partials file back.
    SessionOutput RunSession(const std::string& tag) {
        SessionOutput out;
        MainWindow& w = Open(BlocksOf(BellSamples(44100)));
        w.Item<QCheckBox>(kWaitForTrigger)->click();
        Type(kSpeedAdjust, "1,02");
        w.OnParameterKillFocus();
        Type(kSpeedAdjust, "1.02");
        Type(kInterval, "1");
        Type(kLowNominal, "100.5");
        Type(kHighNominal, "2e3");
        Press(kStartAnalysis);
        Deliver(BlocksFor(44100));
        out.afterAnalysis = EditTexts(w);
        out.speedAdjust = w.speedAdjust;
        out.lowNominal = w.lowNominal;
        script.fileAnswers.push_back(tag + ".wav");
        Press(kSaveRecording);
        script.fileAnswers.push_back(tag + ".par");
        Press(kSavePartials);
        MainWindowTest::WhenModalStatic([&out](QWidget* grid) {
            out.grid = EditTexts(*grid);
            grid->close();
        });
        Press(kViewPartials);
        w.table.Clear();
        script.fileAnswers.push_back(tag + ".par");
        Press(kReadPartials);
        out.afterReading = EditTexts(w);
        out.waveFile = ReadWholeFile(tag + ".wav");
        out.partialsFile = ReadWholeFile(tag + ".par");
        for (const ShownMessage& m : script.messages) out.messages.push_back(m.text);
        script.messages.clear();
        window.reset();
        return out;
    }
};

TEST_F(LocaleTest, ACommaDecimalLocaleChangesNoFileAndNoText) {
    const SessionOutput c = RunSession("c");
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "scripts/setup generates de_DE.UTF-8";
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5") << "the C library now writes decimal commas";
    const SessionOutput german = RunSession("de");

    EXPECT_EQ(c.messages, std::vector<std::string>{"Please enter a number."});
    EXPECT_EQ(german.messages, c.messages);
    EXPECT_EQ(c.speedAdjust, 1.02);
    EXPECT_EQ(german.speedAdjust, 1.02);
    EXPECT_EQ(german.lowNominal, 100.5);
    EXPECT_EQ(german.waveFile, c.waveFile);
    EXPECT_EQ(c.waveFile.size(), 48u + 2u * 43235u) << "trunc(44100 / 1.02) samples";
    EXPECT_EQ(german.partialsFile, c.partialsFile);
    EXPECT_NE(c.partialsFile.find(".000000,"), std::string::npos) << c.partialsFile;
    EXPECT_EQ(german.afterAnalysis, c.afterAnalysis);
    EXPECT_EQ(german.grid, c.grid);
    EXPECT_EQ(german.afterReading, c.afterReading);
    EXPECT_EQ(c.afterReading, c.afterAnalysis) << "reading the file back shows the same partials";
    const auto has = [](const std::vector<std::string>& texts, const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    EXPECT_TRUE(has(german.afterAnalysis, "id1014=1.02"));
    EXPECT_TRUE(has(german.afterAnalysis, "id1044=2000"));
}

}  // namespace
