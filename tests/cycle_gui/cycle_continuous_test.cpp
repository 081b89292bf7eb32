// Continuous mode: re-arming after each analysis (also when the peak
// detection refuses), the end of the cycle on a cancel or "Single shot".
#include <QCheckBox>
#include <QRadioButton>

#include "cycle_fixture.h"

using namespace MainWindowIds;

namespace {

constexpr std::int32_t kTwoSeconds = 88200;

class ContinuousTest : public CycleTest {
protected:
    // Three strikes of the bell, each after one quiet block.
    MainWindow& OpenContinuous() {
        const std::vector<std::int16_t> bell = BellSamples(kTwoSeconds);
        std::vector<std::vector<std::int16_t>> blocks;
        for (int strike = 0; strike < 3; ++strike) {
            for (auto& block : BlocksOf(bell, 1)) blocks.push_back(std::move(block));
        }
        MainWindow& w = Open(std::move(blocks));
        w.Item<QRadioButton>(kContinuous)->click();
        return w;
    }
    static constexpr int kStrikeBlocks = 12;  // one quiet block and the bell
};

TEST_F(ContinuousTest, EachAnalysisIsFollowedByANewWait) {
    MainWindow& w = OpenContinuous();
    ASSERT_TRUE(w.continuousMode);
    Press(kStartAnalysis);
    for (int strike = 1; strike <= 2; ++strike) {
        SCOPED_TRACE(strike);
        Deliver(kStrikeBlocks);
        ExpectBellShown(1.0);
        EXPECT_EQ(w.sound.state.load(), RecorderState::WaitForTrigger);
        EXPECT_EQ(Text(kStatus), "wait for trigger");
        EXPECT_EQ(w.sound.soundState, SoundState::None) << "the new arming replaced the sound";
        EXPECT_FALSE(Enabled(kSaveRecording));
        EXPECT_FALSE(Enabled(kStartAnalysis));
        EXPECT_TRUE(Enabled(kStopAnalysis));
        EXPECT_TRUE(w.table.partialsValid);
        EXPECT_FALSE(Enabled(kViewPartials)) << "only while stopped";
    }
    // "Single shot" takes effect at the end of the running cycle.
    w.Item<QRadioButton>(kSingleShot)->click();
    EXPECT_EQ(w.sound.state.load(), RecorderState::WaitForTrigger);
    Deliver(kStrikeBlocks);
    EXPECT_EQ(w.sound.state.load(), RecorderState::Stopped);
    EXPECT_TRUE(Enabled(kSaveRecording));
    ExpectBellShown(1.0);
}

TEST_F(ContinuousTest, ReArmsAlsoWhenThePeakDetectionRefuses) {
    MainWindow& w = OpenContinuous();
    const std::array<double, 8> shownBefore = w.majorFrequency;
    // 80 spectrum intervals are too few for the smoothing kernel at 0.5 Hz.
    Type(kStartFrequency, "1000");
    Type(kEndFrequency, "1040");
    Press(kStartAnalysis);
    Deliver(kStrikeBlocks);
    EXPECT_EQ(w.engine.steps, 80);
    EXPECT_TRUE(w.engine.spectrumValid);
    EXPECT_FALSE(w.engine.smoothValid);
    EXPECT_FALSE(w.table.partialsValid);
    EXPECT_EQ(w.majorFrequency, shownBefore) << "the major partials stay as they were";
    EXPECT_EQ(w.sound.state.load(), RecorderState::WaitForTrigger) << "armed again all the same";
    EXPECT_EQ(w.view.maxBinsPerPixel, 1) << "the plot shows the new spectrum";
    Press(kStopAnalysis);
    EXPECT_FALSE(Enabled(kViewPartials));
    EXPECT_FALSE(Enabled(kSavePartials));
    EXPECT_TRUE(Enabled(kAddPartial));
}

TEST_F(ContinuousTest, ACancelledTransformEndsTheCycleAndKeepsTheRecording) {
    MainWindow& w = OpenContinuous();
    w.progressTickMilliseconds = 50;
    const std::array<double, 8> shownBefore = w.majorFrequency;
    Press(kStartAnalysis);
    CancelNextAnalysis();
    Deliver(kStrikeBlocks);
    EXPECT_EQ(w.sound.state.load(), RecorderState::Stopped);
    EXPECT_EQ(Text(kStatus), "stopped");
    EXPECT_EQ(w.sound.soundState, SoundState::Recorded);
    EXPECT_TRUE(Enabled(kSaveRecording));
    EXPECT_FALSE(w.engine.spectrumValid);
    EXPECT_FALSE(Enabled(kAddPartial));
    EXPECT_FALSE(Enabled(kScale));
    EXPECT_FALSE(w.table.partialsValid);
    EXPECT_EQ(w.majorFrequency, shownBefore);
    EXPECT_TRUE(script.messages.empty()) << "a cancel is no error";
    Deliver(kStrikeBlocks);
    EXPECT_EQ(w.sound.soundState, SoundState::Recorded) << "no new wait for the trigger";
}

}  // namespace
