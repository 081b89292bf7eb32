// Blocks fed straight into OnInputBlock on the test's own thread.
#include <gtest/gtest.h>

#include <vector>

#include "audio/recorder.h"
#include "tests/audio/message_log.h"

namespace {

using Block = std::vector<std::int16_t>;

Block Filled(std::int16_t value, std::int32_t count = kCaptureBlockSamples) {
    return Block(static_cast<std::size_t>(count), value);
}

Block WithSample(std::int32_t index, std::int16_t value, std::int16_t rest = 0) {
    Block block = Filled(rest);
    block[static_cast<std::size_t>(index)] = value;
    return block;
}

// Distinct, below any trigger threshold used here: sample i of the stream.
std::int16_t Stream(std::int64_t i) { return static_cast<std::int16_t>(i % 2000 - 1000); }

Block StreamBlock(std::int32_t blockIndex) {
    Block block(kCaptureBlockSamples);
    for (std::int32_t i = 0; i < kCaptureBlockSamples; ++i) {
        block[static_cast<std::size_t>(i)] = Stream(std::int64_t{blockIndex} * kCaptureBlockSamples + i);
    }
    return block;
}

class OnInputBlockTest : public ::testing::Test {
protected:
    OnInputBlockTest() {
        sound.owner = &log;
        sound.overloadHold = kOverloadHold;
    }
    void Feed(const Block& block) { OnInputBlock(sound, block.data(), static_cast<std::int32_t>(block.size())); }
    RecorderState State() const { return sound.state.load(); }

    SoundBuffer sound;
    MessageLog log{&sound};
};

TEST_F(OnInputBlockTest, ThresholdZeroFiresOnAnyPositiveSampleButNotOnSilence) {
    sound.ArmRecording(30000, true, 0);
    Feed(Filled(0));
    EXPECT_EQ(State(), RecorderState::WaitForTrigger);
    EXPECT_EQ(sound.recordedCount.load(), 0);
    EXPECT_EQ(sound.blockPeak.load(), 0);

    Feed(WithSample(100, 1));
    EXPECT_EQ(State(), RecorderState::Recording);
    EXPECT_EQ(sound.recordedCount.load(), kCaptureBlockSamples);
    EXPECT_EQ(sound.samples[100], 1);
    EXPECT_EQ(sound.samples[0], 0);
    EXPECT_EQ(sound.blockPeak.load(), 1);
    EXPECT_EQ(log.Levels(), 2);
    EXPECT_EQ(log.Dones(), 0);
}

TEST_F(OnInputBlockTest, SliderAtHundredNeedsMoreThan32700) {
    sound.ArmRecording(30000, true, 100);
    Feed(WithSample(5, 32700));
    EXPECT_EQ(State(), RecorderState::WaitForTrigger);
    EXPECT_EQ(sound.blockPeak.load(), 32700);
    Feed(WithSample(5, 32701));
    EXPECT_EQ(State(), RecorderState::Recording);
}

TEST_F(OnInputBlockTest, NegativeExcursionsNeverFireAndShowNoVolume) {
    sound.ArmRecording(30000, true, 0);
    Block block = Filled(-32768);
    block[10] = -1;
    Feed(block);
    EXPECT_EQ(State(), RecorderState::WaitForTrigger);
    EXPECT_EQ(sound.blockPeak.load(), 0);
    EXPECT_EQ(sound.overloadCount.load(), 0);
}

TEST_F(OnInputBlockTest, CrossingInMidBlockRecordsTheWholeBlockFromItsFirstSample) {
    sound.ArmRecording(30000, true, 10);  // threshold 3270
    Block block = StreamBlock(0);
    block[5000] = 20000;
    Feed(block);
    ASSERT_EQ(State(), RecorderState::Recording);
    ASSERT_EQ(sound.recordedCount.load(), kCaptureBlockSamples);
    for (std::int32_t i = 0; i < kCaptureBlockSamples; ++i) {
        ASSERT_EQ(sound.samples[i], block[static_cast<std::size_t>(i)]) << "sample " << i;
    }
}

TEST_F(OnInputBlockTest, WithoutTriggerTheFirstBlockAfterArmingIsRecorded) {
    sound.ArmRecording(30000, false, 0);
    Feed(Filled(0));
    EXPECT_EQ(State(), RecorderState::Recording);
    EXPECT_EQ(sound.recordedCount.load(), kCaptureBlockSamples);
}

// 88200 = 10 x 8192 + 6280: the eleventh block is cut and its level message
// becomes the completion message, posted with the state already Stopped.
TEST_F(OnInputBlockTest, OneSecondTakesTenBlocksAndPartOfTheEleventh) {
    sound.ArmRecording(88200, true, 10);
    Block first = StreamBlock(0);
    first[0] = 4000;
    Feed(first);
    for (std::int32_t b = 1; b < 10; ++b) Feed(StreamBlock(b));
    EXPECT_EQ(State(), RecorderState::Recording);
    EXPECT_EQ(sound.recordedCount.load(), 81920);
    EXPECT_EQ(log.Levels(), 10);

    Block last = StreamBlock(10);
    last[6280] = 30000;  // dropped: neither copied nor measured
    Feed(last);
    EXPECT_EQ(State(), RecorderState::Stopped);
    EXPECT_EQ(sound.recordedCount.load(), 88200);
    EXPECT_EQ(log.Count(), 11);
    EXPECT_EQ(log.At(10), WM_RECORDING_DONE);
    EXPECT_EQ(log.StateAtDone(), RecorderState::Stopped);
    EXPECT_EQ(log.RecordedAtDone(), 88200);
    EXPECT_LT(sound.blockPeak.load(), 1000);
    EXPECT_EQ(sound.overloadCount.load(), 0);
    for (std::int32_t i = 0; i < 88200; ++i) ASSERT_EQ(sound.samples[i], i == 0 ? 4000 : Stream(i)) << i;

    Feed(StreamBlock(11));
    EXPECT_EQ(sound.recordedCount.load(), 88200);
    EXPECT_EQ(log.Dones(), 1);
    EXPECT_EQ(log.At(11), WM_RECORDER_LEVEL);
}

TEST_F(OnInputBlockTest, OverloadIsAPeakAbove29491InEveryState) {
    Feed(WithSample(7, 29491));
    EXPECT_EQ(sound.overloadCount.load(), 0);
    Feed(WithSample(7, 29492));
    EXPECT_EQ(sound.overloadCount.load(), 10);
    EXPECT_EQ(sound.blockPeak.load(), 29492);

    sound.overloadCount.store(3);
    sound.ArmRecording(30000, false, 0);
    Feed(WithSample(7, 29491));
    EXPECT_EQ(sound.overloadCount.load(), 3);
    Feed(WithSample(8191, 32767));
    EXPECT_EQ(sound.overloadCount.load(), 10);
    EXPECT_EQ(log.Count(), 4);
}

TEST_F(OnInputBlockTest, ShortBlockCountsOnlyItsOwnSamples) {
    // Samples past the count are stale memory of a longer block.
    Block block = Filled(30000);
    for (std::int32_t i = 0; i < 100; ++i) block[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i);
    sound.ArmRecording(30000, true, 1);  // threshold 327
    OnInputBlock(sound, block.data(), 100);
    EXPECT_EQ(State(), RecorderState::WaitForTrigger);
    EXPECT_EQ(sound.blockPeak.load(), 99);
    EXPECT_EQ(sound.overloadCount.load(), 0);

    sound.ArmRecording(30000, false, 0);
    OnInputBlock(sound, block.data(), 100);
    OnInputBlock(sound, block.data(), 0);
    EXPECT_EQ(sound.recordedCount.load(), 100);
    EXPECT_EQ(sound.samples[99], 99);
    EXPECT_EQ(sound.blockPeak.load(), 0);
    EXPECT_EQ(log.Levels(), 3);
}

TEST_F(OnInputBlockTest, StopWhileRecordingOrWaitingEndsTheCopy) {
    sound.ArmRecording(30000, false, 0);
    Feed(Filled(5));
    sound.StopRecording();
    EXPECT_EQ(sound.soundState, SoundState::None);
    Feed(Filled(32000));
    EXPECT_EQ(State(), RecorderState::Stopped);
    EXPECT_EQ(sound.recordedCount.load(), kCaptureBlockSamples);
    EXPECT_EQ(sound.samples[0], 5);

    sound.ArmRecording(30000, true, 0);
    sound.StopRecording();
    Feed(Filled(32000));
    EXPECT_EQ(State(), RecorderState::Stopped);
    EXPECT_EQ(sound.recordedCount.load(), 0);
    EXPECT_EQ(log.Dones(), 0);
}

TEST_F(OnInputBlockTest, NothingIsCopiedWhileStoppedOrAnalysing) {
    sound.ArmRecording(10, false, 0);
    Feed(Filled(9));
    ASSERT_EQ(log.Dones(), 1);
    sound.FinishRecording();
    sound.threshold.store(0);
    for (RecorderState state : {RecorderState::Stopped, RecorderState::Analysing}) {
        sound.state.store(state);
        Feed(Filled(31000));
        EXPECT_EQ(State(), state);
        EXPECT_EQ(sound.blockPeak.load(), 31000);
    }
    EXPECT_EQ(sound.recordedCount.load(), 10);
    for (std::int32_t i = 0; i < 10; ++i) EXPECT_EQ(sound.samples[i], 9);
    EXPECT_EQ(log.Levels(), 2);
    EXPECT_EQ(log.Dones(), 1);
}

TEST(RecorderText, OpenCodesAndStates) {
    const char* open[] = {"Sound error!", "Recording initialised", "No dialog pointer!", "Sound format not supported!",
                          "Failed to open sound device!", "Sound driver initialise failure!", "Sound error!"};
    for (int code = -1; code <= 5; ++code) EXPECT_STREQ(RecorderOpenText(static_cast<std::int16_t>(code)), open[code + 1]);
    const char* states[] = {"error state!", "stopped", "wait for trigger", "recording...", "analysing...", "error state!"};
    for (int state = -1; state <= 4; ++state) {
        EXPECT_STREQ(RecorderStateText(static_cast<RecorderState>(state)), states[state + 1]) << state;
    }
}

}  // namespace
