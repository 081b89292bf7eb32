// The record-analyse cycle as tuners go through it.
#include "cycle_fixture.h"

namespace {

TEST_F(CycleTest, ATunersSession) { TunersSession(); }

struct ParameterCase {
    const char* texts[6];  // start, end, interval, speed, low and high nominal
    bool accepted;
    const char* rangeMessage;          // the edit's own message while reading, or nullptr
    const char *lowShown, *highShown;  // the nominal limits fitted to the band
};

// "Start analysis" clears the recording and the partials, fits the nominal
// limits into the band, and refuses bad parameters.
TEST_F(CycleTest, StartChecksTheParameters) {
    const char* frequencyRange = "Please enter a number between 0 and 22000.";
    const char* intervalRange = "Please enter a number between 0.05 and 5.";
    const ParameterCase cases[] = {
        {{"0", "5000", "6", "1", "0", "5000"}, true, intervalRange, "0", "5000"},  // above the edit's range: used all the same
        {{"1000", "1000", "0.5", "1", "0", "5000"}, false, nullptr, "1000", "1000"},
        {{"0", "6250.0625", "0.0625", "1", "0", "5000"}, true, nullptr, "0", "5000"},  // steps 100001
        {{"0", "6250.125", "0.0625", "1", "0", "5000"}, false, nullptr, "0", "5000"},  // steps 100002
        {{"0", "22000", "0.5", "1.1", "0", "5000"}, true, nullptr, "0", "5000"},
        {{"0", "22000.5", "0.5", "1", "0", "5000"}, false, frequencyRange, "0", "5000"},
        {{"0", "5000", "0", "1", "0", "5000"}, false, intervalRange, "0", "5000"},  // no infinite quotient used
        {{"0", "5000", "0.05", "0.9", "0", "5000"}, true, nullptr, "0", "5000"},
        {{"0", "5000", "0.5", "1.11", "0", "5000"}, false, "Please enter a number between 0.9 and 1.1.", "0", "5000"},
        {{"0", "5000", "0.5", "1", "2000", "2000"}, false, nullptr, "2000", "2000"},
        {{"200", "5000", "0.5", "1", "0", "4000"}, true, nullptr, "200", "4000"},
        {{"200", "5000", "0.5", "1", "300", "200"}, true, nullptr, "300", "5000"},  // high not above the start
        {{"0", "3000", "0.5", "1", "100", "4000"}, true, nullptr, "100", "3000"},
    };
    MainWindow& w = Open();
    for (const ParameterCase& c : cases) {
        SCOPED_TRACE(std::string(c.texts[0]) + " " + c.texts[1] + " " + c.texts[2] + " " + c.texts[3] + " " + c.texts[4]);
        script.messages.clear();
        const int ids[] = {kStartFrequency, kEndFrequency, kInterval, kSpeedAdjust, kLowNominal, kHighNominal};
        for (int i = 0; i < 6; ++i) SetText(ids[i], c.texts[i]);
        Press(kStartAnalysis);
        std::vector<std::string> expected;
        if (c.rangeMessage != nullptr) expected.push_back(c.rangeMessage);
        if (!c.accepted) expected.push_back("Bad analysis parameters!");
        EXPECT_EQ(Messages(), expected);
        EXPECT_EQ((Text(kLowNominal) + " " + Text(kHighNominal)).toStdString(), std::string(c.lowShown) + " " + c.highShown);
        EXPECT_EQ(w.LiveInput().State(), c.accepted ? RecorderState::WaitForTrigger : RecorderState::Stopped);
        EXPECT_TRUE(w.CurrentBell().sound == SoundState::None && w.CurrentBell().table.partialsValid == 0);
        ExpectEnabled({kSaveRecording, kViewPartials}, false);
        EXPECT_EQ(Enabled(kStartAnalysis), !c.accepted);
        EXPECT_TRUE(!c.accepted || w.CurrentBell().request.recordLength == static_cast<std::int32_t>(44100 / std::stod(c.texts[2])));
        Press(kStopAnalysis);
    }
}

// Continuous mode takes the next strike at once; "Single shot" ends it after the running cycle; a cancel ends
// it too and keeps the recording for saving; a recording that completes while "Stop analysis" is on its way is
// not analysed. (The cycle's arithmetic is the session's test; this is what the window shows of it.)
TEST_F(CycleTest, ContinuousCancelAndStop) {
    const std::vector<std::int16_t> bell = BellSamples(kTwoSeconds);
    const int strikeBlocks = 1 + BlocksFor(kTwoSeconds);
    std::vector<std::vector<std::int16_t>> blocks, strike = BlocksOf(bell, 1);
    for (int i = 0; i < 4; ++i) blocks.insert(blocks.end(), strike.begin(), strike.end());
    MainWindow& w = Open(std::move(blocks));
    w.Item<QRadioButton>(kContinuous)->click();
    Press(kStartAnalysis);
    Deliver(strikeBlocks);
    ExpectBellShown(w, 1.0);
    EXPECT_EQ(Text(kStatus), "wait for trigger");
    ExpectEnabled({kSaveRecording, kStartAnalysis, kViewPartials}, false);
    w.Item<QRadioButton>(kSingleShot)->click();  // takes effect at the end of the running cycle
    Deliver(strikeBlocks);
    EXPECT_EQ(Text(kStatus), "stopped");
    ExpectEnabled({kSaveRecording, kViewPartials, kStartAnalysis}, true);

    const std::vector<std::string> shown = MajorTexts(w);
    w.Item<QRadioButton>(kContinuous)->click();
    w.SetProgressTick(50);
    Press(kStartAnalysis);
    CancelNextAnalysis();
    Deliver(strikeBlocks);
    EXPECT_EQ(Text(kStatus), "stopped");
    EXPECT_TRUE(Enabled(kSaveRecording));
    ExpectEnabled({kAddPartial, kScale, kViewPartials}, false);
    EXPECT_EQ(MajorTexts(w), shown);
    EXPECT_TRUE(script.messages.empty()) << "a cancel is no error";

    w.Item<QCheckBox>(kWaitForTrigger)->click();
    SetText(kInterval, "5");
    Press(kStartAnalysis);
    delivered += 2;  // both blocks are in, and the recording's end queued, before the click
    capture->Deliver(2);
    ASSERT_TRUE(capture->WaitProcessed(delivered));
    Press(kStopAnalysis);
    QCoreApplication::processEvents();
    EXPECT_FALSE(Enabled(kSaveRecording)) << "nothing kept to save";
    EXPECT_EQ(w.CurrentBell().spectrum.steps, 10000) << "nothing analysed";
    Press(kStartAnalysis);
    Deliver(2);
    EXPECT_TRUE(w.CurrentBell().spectrum.Measured() && w.CurrentBell().spectrum.steps == 1000) << "the next start records and analyses";
}

}  // namespace
