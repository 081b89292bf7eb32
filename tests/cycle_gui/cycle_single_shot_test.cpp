// Single-shot analyses through the window: with and without the trigger,
// the speed adjustment, the recording length following the interval, and
// "Stop analysis".
#include <QCheckBox>

#include "cycle_fixture.h"

using namespace MainWindowIds;

namespace {

constexpr std::int32_t kTwoSeconds = 88200;

TEST_F(CycleTest, SingleShotNamesTheBellWithAndWithoutTrigger) {
    const std::vector<std::int16_t> bell = BellSamples(kTwoSeconds);
    for (const bool trigger : {true, false}) {
        SCOPED_TRACE(trigger ? "wait for trigger" : "no trigger");
        MainWindow& w = Open(BlocksOf(bell, trigger ? 2 : 0));
        if (!trigger) w.Item<QCheckBox>(kWaitForTrigger)->click();
        Press(kStartAnalysis);
        EXPECT_EQ(Text(kStatus), trigger ? "wait for trigger" : "recording...");
        for (const int id : {kStartAnalysis, kExit, kInterval, kSaveRecording, kViewPartials, kAddPartial}) {
            EXPECT_FALSE(Enabled(id)) << id;
        }
        EXPECT_TRUE(Enabled(kStopAnalysis));
        if (trigger) {
            Deliver(2);
            EXPECT_EQ(Text(kStatus), "wait for trigger") << "quiet blocks do not trigger";
            EXPECT_EQ(Text(kSamples), "0");
        }
        Deliver(BlocksFor(kTwoSeconds));
        EXPECT_EQ(Text(kStatus), "stopped");
        EXPECT_EQ(Text(kSamples), "88200");
        ASSERT_EQ(w.sound.sampleCount, kTwoSeconds);
        EXPECT_TRUE(std::equal(bell.begin(), bell.end(), w.sound.samples.get())) << "recorded from the strike on";
        EXPECT_EQ(w.sound.soundState, SoundState::Recorded);
        EXPECT_EQ(w.engine.steps, 10000);
        EXPECT_TRUE(w.engine.spectrumValid && w.table.partialsValid);
        ExpectBellShown(1.0);
        for (const int id : {kStartAnalysis, kExit, kSaveRecording, kSavePartials, kViewPartials, kAddPartial}) {
            EXPECT_TRUE(Enabled(id)) << id;
        }
        EXPECT_FALSE(Enabled(kStopAnalysis));
        EXPECT_TRUE(script.messages.empty());
        window.reset();
    }
}

TEST_F(CycleTest, SpeedAdjustStretchesBeforeTheAnalysis) {
    MainWindow& w = Open(BlocksOf(BellSamples(kTwoSeconds)));
    w.Item<QCheckBox>(kWaitForTrigger)->click();
    Type(kSpeedAdjust, "1.02");
    Press(kStartAnalysis);
    Deliver(BlocksFor(kTwoSeconds));
    EXPECT_EQ(Text(kSamples), "88200") << "as recorded";
    EXPECT_EQ(w.sound.sampleCount, 86470) << "trunc(88200 / 1.02)";
    ExpectBellShown(1.02);
}

TEST_F(CycleTest, RecordingLengthFollowsTheInterval) {
    MainWindow& w = Open(BlocksOf(BellSamples(44100)));
    w.Item<QCheckBox>(kWaitForTrigger)->click();
    Type(kInterval, "1");
    Press(kStartAnalysis);
    Deliver(BlocksFor(44100));
    EXPECT_EQ(w.sound.sampleCount, 44100);
    EXPECT_EQ(w.engine.interval, 1.0);
    EXPECT_EQ(w.engine.steps, 5000);
    EXPECT_EQ(w.request.lastSample, 88200) << "fixed at start-up";
    ASSERT_TRUE(w.table.partialsValid);

    Type(kInterval, "0.5");
    Press(kStartAnalysis);
    Deliver(BlocksFor(kTwoSeconds));
    EXPECT_EQ(w.sound.sampleCount, kTwoSeconds);
    EXPECT_EQ(w.engine.steps, 10000);
}

TEST_F(CycleTest, StopAnalysisDiscardsWaitingAndPartialRecordings) {
    MainWindow& w = Open(BlocksOf(BellSamples(kTwoSeconds), 1));
    w.Item<QCheckBox>(kWaitForTrigger)->click();
    Press(kStartAnalysis);
    Deliver(BlocksFor(kTwoSeconds));
    ASSERT_TRUE(Enabled(kSaveRecording));

    // Waiting for the trigger: the previous recording is gone with the arming.
    w.Item<QCheckBox>(kWaitForTrigger)->click();
    Press(kStartAnalysis);
    EXPECT_FALSE(Enabled(kSaveRecording));
    Press(kStopAnalysis);
    EXPECT_EQ(Text(kStatus), "stopped");
    EXPECT_EQ(w.sound.soundState, SoundState::None);
    EXPECT_FALSE(Enabled(kSaveRecording));
    EXPECT_TRUE(Enabled(kStartAnalysis));
    EXPECT_FALSE(Enabled(kStopAnalysis));

    // Recording: the part already recorded is discarded, nothing more is copied.
    w.Item<QCheckBox>(kWaitForTrigger)->click();
    Press(kStartAnalysis);
    Deliver(3);
    EXPECT_EQ(Text(kSamples), "24576");
    Press(kStopAnalysis);
    Deliver(BlocksFor(kTwoSeconds));
    EXPECT_EQ(w.sound.recordedCount.load(), 24576);
    EXPECT_EQ(w.sound.soundState, SoundState::None);
    EXPECT_FALSE(Enabled(kSaveRecording));
    EXPECT_EQ(Text(kStatus), "stopped");
}

TEST_F(CycleTest, ARecordingThatCompletesWhileStoppingIsNotAnalysed) {
    MainWindow& w = Open();
    w.Item<QCheckBox>(kWaitForTrigger)->click();
    Type(kInterval, "5");
    Press(kStartAnalysis);
    // Both blocks of the 8820 samples are in, and WM_RECORDING_DONE is
    // queued, when the click on "Stop analysis" is handled.
    delivered += 2;
    capture->Deliver(2);
    ASSERT_TRUE(capture->WaitProcessed(delivered));
    ASSERT_EQ(w.sound.state.load(), RecorderState::Stopped);
    Press(kStopAnalysis);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.engine.steps, 10000) << "the start-up spectrum is still shown";
    EXPECT_EQ(w.sound.soundState, SoundState::None);
    EXPECT_FALSE(Enabled(kSaveRecording));
    EXPECT_TRUE(Enabled(kStartAnalysis));

    // The next start records and analyses as usual.
    Press(kStartAnalysis);
    Deliver(2);
    EXPECT_EQ(w.engine.steps, 1000);
    EXPECT_EQ(w.sound.soundState, SoundState::Recorded);
}

}  // namespace
