// "Start analysis" with every kind of refused parameter, the corrections of
// the nominal limits, and an interval above the edit's range.
#include <QCheckBox>

#include "cycle_fixture.h"

using namespace MainWindowIds;

namespace {

struct ParameterCase {
    const char* start;
    const char* end;
    const char* interval;
    const char* speed;
    const char* low;
    const char* high;
    bool accepted;
    const char* rangeMessage;  // the toolkit's message while reading, or nullptr
};

constexpr const char* kFrequencyRangeText = "Please enter a number between 0 and 22000.";
constexpr const char* kIntervalRangeText = "Please enter a number between 0.05 and 5.";
constexpr const char* kSpeedRangeText = "Please enter a number between 0.9 and 1.1.";

TEST_F(CycleTest, StartAnalysisAcceptsOrRefusesTheParameters) {
    const ParameterCase cases[] = {
        {"1000", "1000", "0.5", "1", "0", "5000", false, nullptr},
        {"0", "6250.0625", "0.0625", "1", "0", "5000", true, nullptr},   // steps 100001
        {"0", "6250.125", "0.0625", "1", "0", "5000", false, nullptr},   // steps 100002
        {"0", "22000", "0.5", "1", "0", "5000", true, nullptr},
        {"0", "22000.5", "0.5", "1", "0", "5000", false, kFrequencyRangeText},
        {"0", "5000", "0", "1", "0", "5000", false, kIntervalRangeText},  // no infinite quotient used
        {"0", "5000", "0.04", "1", "0", "5000", false, kIntervalRangeText},
        {"0", "5000", "0.5", "1.11", "0", "5000", false, kSpeedRangeText},
        {"0", "5000", "0.5", "0.89", "0", "5000", false, kSpeedRangeText},
        {"3000", "2000", "0.5", "1", "0", "5000", false, nullptr},
        {"0", "5000", "0.5", "1", "3000", "2000", false, nullptr},
        {"0", "5000", "0.5", "1.1", "0", "5000", true, nullptr},
    };
    MainWindow& w = Open();
    for (const ParameterCase& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " " + c.end + " " + c.interval + " " + c.speed + " " + c.low + " " +
                     c.high);
        script.messages.clear();
        w.sound.soundState = SoundState::Recorded;
        w.table.partialsValid = 1;
        Type(kStartFrequency, c.start);
        Type(kEndFrequency, c.end);
        Type(kInterval, c.interval);
        Type(kSpeedAdjust, c.speed);
        Type(kLowNominal, c.low);
        Type(kHighNominal, c.high);
        Press(kStartAnalysis);
        std::vector<std::string> expected;
        if (c.rangeMessage != nullptr) expected.push_back(c.rangeMessage);
        if (!c.accepted) expected.push_back("Bad analysis parameters!");
        std::vector<std::string> shown;
        for (const ShownMessage& m : script.messages) shown.push_back(m.text);
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(w.sound.state.load(), c.accepted ? RecorderState::WaitForTrigger : RecorderState::Stopped);
        EXPECT_EQ(w.sound.soundState, SoundState::None) << "cleared whether accepted or not";
        EXPECT_EQ(w.table.partialsValid, 0);
        EXPECT_FALSE(Enabled(kSaveRecording));
        EXPECT_FALSE(Enabled(kViewPartials));
        EXPECT_EQ(Enabled(kStartAnalysis), !c.accepted);
        if (c.accepted) {
            EXPECT_EQ(w.sound.sampleCount, RecordLengthFor(w.request.interval));
            Press(kStopAnalysis);
        }
    }
}

struct LimitCase {
    const char* start;
    const char* end;
    const char* low;
    const char* high;
    const char* lowShown;
    const char* highShown;
};

TEST_F(CycleTest, NominalLimitsAreFittedToTheBandAndShown) {
    const LimitCase cases[] = {
        {"200", "5000", "0", "4000", "200", "4000"},
        {"200", "5000", "300", "200", "300", "5000"},   // high not above the start
        {"0", "3000", "100", "4000", "100", "3000"},    // high above the end
        {"100", "3000", "50", "50", "100", "3000"},
    };
    MainWindow& w = Open();
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " " + c.end + " " + c.low + " " + c.high);
        Type(kStartFrequency, c.start);
        Type(kEndFrequency, c.end);
        Type(kLowNominal, c.low);
        Type(kHighNominal, c.high);
        Press(kStartAnalysis);
        EXPECT_EQ(Text(kLowNominal), c.lowShown);
        EXPECT_EQ(Text(kHighNominal), c.highShown);
        EXPECT_EQ(w.sound.state.load(), RecorderState::WaitForTrigger);
        Press(kStopAnalysis);
    }
    EXPECT_TRUE(script.messages.empty());
}

TEST_F(CycleTest, AnIntervalAboveTheEditRangeIsAnalysed) {
    MainWindow& w = Open(BlocksOf(BellSamples(7350)));
    w.Item<QCheckBox>(kWaitForTrigger)->click();
    Type(kInterval, "6");
    w.OnParameterKillFocus();
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0].text, kIntervalRangeText);
    Press(kStartAnalysis);
    ASSERT_EQ(script.messages.size(), 2u) << "read again, and only the range message";
    EXPECT_EQ(w.request.recordLength, 7350);
    Deliver(1);
    EXPECT_EQ(Text(kSamples), "7350");
    EXPECT_EQ(w.sound.sampleCount, 7350);
    EXPECT_EQ(w.engine.interval, 6.0);
    EXPECT_EQ(w.engine.steps, 833);
    EXPECT_TRUE(w.engine.spectrumValid);
    EXPECT_EQ(Text(kStatus), "stopped");
}

}  // namespace
