// The record-analyse cycle as tuners go through it: a whole session, the
// parameter checks, continuous cycles and the ways to stop.
#include "cycle_fixture.h"

namespace {

TEST_F(CycleTest, ATunersSession) { TunersSession(); }

struct ParameterCase {
    const char *start, *end, *interval, *speed, *low, *high;
    bool accepted;
    const char* rangeMessage;          // the edit's own message while reading, or nullptr
    const char *lowShown, *highShown;  // the nominal limits fitted to the band
};

// "Start analysis" clears the recording and the partials, fits the nominal
// limits into the band, and refuses bad parameters.
TEST_F(CycleTest, StartChecksTheParameters) {
    const char* frequencyRange = "Please enter a number between 0 and 22000.";
    const char* intervalRange = "Please enter a number between 0.05 and 5.";
    const char* speedRange = "Please enter a number between 0.9 and 1.1.";
    const ParameterCase cases[] = {
        {"1000", "1000", "0.5", "1", "0", "5000", false, nullptr, "1000", "1000"},
        {"0", "6250.0625", "0.0625", "1", "0", "5000", true, nullptr, "0", "5000"},  // steps 100001
        {"0", "6250.125", "0.0625", "1", "0", "5000", false, nullptr, "0", "5000"},  // steps 100002
        {"0", "22000", "0.5", "1.1", "0", "5000", true, nullptr, "0", "5000"},
        {"0", "22000.5", "0.5", "1", "0", "5000", false, frequencyRange, "0", "5000"},
        {"0", "5000", "0", "1", "0", "5000", false, intervalRange, "0", "5000"},  // no infinite quotient used
        {"0", "5000", "0.04", "1", "0", "5000", false, intervalRange, "0", "5000"},
        {"0", "5000", "0.05", "0.9", "0", "5000", true, nullptr, "0", "5000"},
        {"0", "5000", "0.5", "1.11", "0", "5000", false, speedRange, "0", "5000"},
        {"0", "5000", "0.5", "0.89", "0", "5000", false, speedRange, "0", "5000"},
        {"3000", "2000", "0.5", "1", "0", "5000", false, nullptr, "3000", "2000"},
        {"0", "5000", "0.5", "1", "2000", "2000", false, nullptr, "2000", "2000"},
        {"200", "5000", "0.5", "1", "0", "4000", true, nullptr, "200", "4000"},
        {"200", "5000", "0.5", "1", "300", "200", true, nullptr, "300", "5000"},  // high not above the start
        {"0", "3000", "0.5", "1", "100", "4000", true, nullptr, "100", "3000"},
        {"100", "3000", "0.5", "1", "50", "50", true, nullptr, "100", "3000"},
    };
    MainWindow& w = Open();
    // An interval above the edit's range is reported, and analysed all the same.
    w.Item<QCheckBox>(kWaitForTrigger)->click();
    Type(kInterval, "6");
    Press(kStartAnalysis);
    EXPECT_EQ(Messages(), std::vector<std::string>{intervalRange});
    Deliver(1);
    EXPECT_EQ(Text(kStatus) + " " + Text(kSamples), "stopped 7350");
    EXPECT_EQ(w.engine.steps, 833);
    Type(kInterval, "1");
    Press(kStartAnalysis);
    Deliver(BlocksFor(44100));
    EXPECT_EQ(w.sound.sampleCount, 44100);
    EXPECT_EQ(w.engine.steps, 5000);
    EXPECT_EQ(w.request.lastSample, 88200) << "fixed at start-up";
    w.Item<QCheckBox>(kWaitForTrigger)->click();
    for (const ParameterCase& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " " + c.end + " " + c.interval + " " + c.speed + " " + c.low + " " + c.high);
        script.messages.clear();
        w.sound.soundState = SoundState::Recorded;
        w.table.partialsValid = 1;
        for (const auto& [id, text] : {std::pair{kStartFrequency, c.start}, {kEndFrequency, c.end}, {kInterval, c.interval},
                                       {kSpeedAdjust, c.speed}, {kLowNominal, c.low}, {kHighNominal, c.high}}) {
            Type(id, text);
        }
        Press(kStartAnalysis);
        std::vector<std::string> expected;
        if (c.rangeMessage != nullptr) expected.push_back(c.rangeMessage);
        if (!c.accepted) expected.push_back("Bad analysis parameters!");
        EXPECT_EQ(Messages(), expected);
        EXPECT_EQ(Text(kLowNominal), c.lowShown);
        EXPECT_EQ(Text(kHighNominal), c.highShown);
        EXPECT_EQ(w.sound.state.load(), c.accepted ? RecorderState::WaitForTrigger : RecorderState::Stopped);
        EXPECT_EQ(w.sound.soundState, SoundState::None);
        EXPECT_EQ(w.table.partialsValid, 0);
        ExpectEnabled({kSaveRecording, kViewPartials}, false);
        EXPECT_EQ(Enabled(kStartAnalysis), !c.accepted);
        EXPECT_TRUE(!c.accepted || w.sound.sampleCount == RecordLengthFor(w.request.interval));
        Press(kStopAnalysis);
    }

}

// Continuous mode re-arms after every analysis, also when the peak detection
// refuses; "Single shot" ends it after the running cycle, a cancel at once.
TEST_F(CycleTest, ContinuousCycles) {
    const std::vector<std::int16_t> bell = BellSamples(kTwoSeconds);
    const int strikeBlocks = 1 + BlocksFor(kTwoSeconds);
    std::vector<std::vector<std::int16_t>> blocks;
    for (int strike = 0; strike < 5; ++strike) {
        for (auto& block : BlocksOf(bell, 1)) blocks.push_back(std::move(block));
    }
    MainWindow& w = Open(std::move(blocks));
    w.Item<QRadioButton>(kContinuous)->click();
    Press(kStartAnalysis);
    Deliver(strikeBlocks);
    ExpectBellShown(w, 1.0);
    EXPECT_EQ(w.sound.state.load(), RecorderState::WaitForTrigger);
    EXPECT_EQ(Text(kStatus), "wait for trigger");
    EXPECT_EQ(w.sound.soundState, SoundState::None) << "the new arming replaced the sound";
    ExpectEnabled({kSaveRecording, kStartAnalysis, kViewPartials}, false);
    EXPECT_TRUE(Enabled(kStopAnalysis));
    w.Item<QRadioButton>(kSingleShot)->click();
    EXPECT_EQ(w.sound.state.load(), RecorderState::WaitForTrigger);
    Deliver(strikeBlocks);
    EXPECT_EQ(w.sound.state.load(), RecorderState::Stopped);
    ASSERT_EQ(w.sound.sampleCount, kTwoSeconds);
    EXPECT_TRUE(std::equal(bell.begin(), bell.end(), w.sound.samples.get())) << "recorded from the strike on";
    ExpectBellShown(w, 1.0);
    ExpectEnabled({kSaveRecording, kViewPartials, kStartAnalysis}, true);

    // 80 spectrum intervals are too few for the smoothing at 0.5 Hz.
    const std::array<double, 8> shown = w.majorFrequency;
    w.Item<QRadioButton>(kContinuous)->click();
    Type(kStartFrequency, "1000");
    Type(kEndFrequency, "1040");
    Press(kStartAnalysis);
    Deliver(strikeBlocks);
    EXPECT_EQ(w.engine.steps, 80);
    EXPECT_TRUE(w.engine.spectrumValid);
    EXPECT_FALSE(w.engine.smoothValid);
    EXPECT_FALSE(w.table.partialsValid);
    EXPECT_EQ(w.majorFrequency, shown) << "the major partials stay as they were";
    EXPECT_EQ(w.sound.state.load(), RecorderState::WaitForTrigger) << "armed again all the same";
    EXPECT_EQ(w.view.maxBinsPerPixel, 1) << "the plot shows the new spectrum";
    Press(kStopAnalysis);
    ExpectEnabled({kViewPartials, kSavePartials}, false);
    EXPECT_TRUE(Enabled(kAddPartial));

    // A cancelled transform ends the cycle and keeps the recording.
    Type(kStartFrequency, "0");
    Type(kEndFrequency, "5000");
    w.progressTickMilliseconds = 50;
    Press(kStartAnalysis);
    CancelNextAnalysis();
    Deliver(strikeBlocks);
    EXPECT_EQ(w.sound.state.load(), RecorderState::Stopped);
    EXPECT_EQ(Text(kStatus), "stopped");
    EXPECT_EQ(w.sound.soundState, SoundState::Recorded);
    EXPECT_FALSE(w.engine.spectrumValid);
    EXPECT_FALSE(w.table.partialsValid);
    EXPECT_TRUE(Enabled(kSaveRecording));
    ExpectEnabled({kAddPartial, kScale}, false);
    EXPECT_EQ(w.majorFrequency, shown);
    EXPECT_TRUE(script.messages.empty()) << "a cancel is no error";
    Deliver(strikeBlocks);
    EXPECT_EQ(w.sound.soundState, SoundState::Recorded) << "no new wait for the trigger";
}

// "Stop analysis" discards the arming, a partial recording, and a recording
// whose last block came in while the click was on its way.
TEST_F(CycleTest, StopLeavesNothingToSave) {
    MainWindow& w = Open(BlocksOf(BellSamples(kTwoSeconds)));
    Press(kStartAnalysis);
    Press(kStopAnalysis);
    EXPECT_EQ(Text(kStatus), "stopped");
    EXPECT_EQ(w.sound.state.load(), RecorderState::Stopped);
    ExpectEnabled({kSaveRecording, kStopAnalysis}, false);
    EXPECT_TRUE(Enabled(kStartAnalysis));

    w.Item<QCheckBox>(kWaitForTrigger)->click();
    Press(kStartAnalysis);
    EXPECT_EQ(Text(kStatus), "recording...");
    Deliver(3);
    EXPECT_EQ(Text(kSamples), "24576");
    Press(kStopAnalysis);
    Deliver(BlocksFor(kTwoSeconds));
    EXPECT_EQ(w.sound.recordedCount.load(), 24576) << "nothing more copied";
    EXPECT_EQ(w.sound.soundState, SoundState::None);
    EXPECT_FALSE(Enabled(kSaveRecording));

    Type(kInterval, "5");
    Press(kStartAnalysis);
    delivered += 2;  // both blocks are in, and the recording's end queued, before the click
    capture->Deliver(2);
    ASSERT_TRUE(capture->WaitProcessed(delivered));
    ASSERT_EQ(w.sound.state.load(), RecorderState::Stopped);
    Press(kStopAnalysis);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.engine.steps, 10000) << "the start-up spectrum is still shown";
    EXPECT_EQ(w.sound.soundState, SoundState::None);
    EXPECT_FALSE(Enabled(kSaveRecording));
    Press(kStartAnalysis);
    Deliver(2);
    EXPECT_EQ(w.engine.steps, 1000) << "the next start records and analyses as usual";
    EXPECT_EQ(w.sound.soundState, SoundState::Recorded);
}

}  // namespace
