// The recorder's own capture thread driven by a scripted source.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "audio/recorder.h"
#include "tests/support/scripted_capture.h"
#include "tests/audio/message_log.h"

namespace {

using Blocks = std::vector<std::vector<std::int16_t>>;

std::vector<std::int16_t> Counting(std::int16_t base, std::int32_t count = kCaptureBlockSamples) {
    std::vector<std::int16_t> block(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) block[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(base + i % 1000);
    return block;
}

class ScriptedRecorderTest : public ::testing::Test {
protected:
    void TearDown() override { SetCaptureSourceFactory({}); }

    SoundBuffer sound;
    MessageLog log{&sound};
};

TEST_F(ScriptedRecorderTest, ArmTriggerRecordDone) {
    // Two quiet blocks, the trigger block, then more; 20000 samples need
    // the trigger block and two more (the last one cut).
    Blocks blocks = {Counting(-500), Counting(-500), Counting(0), Counting(1000), Counting(2000, 4000)};
    blocks[2][4321] = 25000;
    auto script = std::make_shared<ScriptedCapture>(blocks);
    ASSERT_EQ(OpenRecorder(sound, &log, script->Factory()), 0);
    EXPECT_TRUE(script->IsStarted());

    sound.ArmRecording(20000, true, 50);
    script->Deliver(2);
    ASSERT_TRUE(script->WaitProcessed(2));
    EXPECT_EQ(sound.state.load(), RecorderState::WaitForTrigger);
    EXPECT_EQ(sound.blockPeak.load(), 499);
    script->Deliver(3);
    ASSERT_TRUE(log.WaitForDone());
    ASSERT_TRUE(script->WaitProcessed(5));

    EXPECT_EQ(sound.state.load(), RecorderState::Stopped);
    EXPECT_EQ(log.StateAtDone(), RecorderState::Stopped);
    EXPECT_EQ(log.RecordedAtDone(), 20000);
    EXPECT_EQ(log.Count(), 5);
    EXPECT_EQ(log.At(4), WM_RECORDING_DONE);
    for (std::int32_t i = 0; i < 20000; ++i) {
        const auto block = static_cast<std::size_t>(2 + i / kCaptureBlockSamples);
        ASSERT_EQ(sound.samples[i], blocks[block][static_cast<std::size_t>(i % kCaptureBlockSamples)]) << i;
    }
    sound.FinishRecording();
    EXPECT_EQ(sound.soundState, SoundState::Recorded);
    CloseRecorder(sound);
    EXPECT_FALSE(script->IsOpen());
}

TEST_F(ScriptedRecorderTest, OpenSetsTheCaptureMembersAndFormat) {
    sound.overloadCount.store(7);
    sound.blockPeak.store(123);
    sound.state.store(RecorderState::Analysing);
    sound.format.cbSize = 99;
    auto script = std::make_shared<ScriptedCapture>(Blocks{});
    ASSERT_EQ(OpenRecorder(sound, &log, script->Factory()), 0);
    EXPECT_EQ(sound.owner, &log);
    EXPECT_EQ(sound.state.load(), RecorderState::Stopped);
    EXPECT_EQ(sound.overloadCount.load(), 0);
    EXPECT_EQ(sound.blockPeak.load(), 0);
    EXPECT_EQ(sound.overloadHold, 10);
    EXPECT_EQ(sound.closing.load(), 0);
    EXPECT_EQ(sound.deviceOpen, 1);
    const WaveFormat& f = sound.format;
    EXPECT_EQ((std::vector<std::uint32_t>{f.wFormatTag, f.nChannels, f.nSamplesPerSec, f.nAvgBytesPerSec,
                                          f.nBlockAlign, f.wBitsPerSample, f.cbSize}),
              (std::vector<std::uint32_t>{1, 1, 44100, 88200, 2, 16, 0}));
}

TEST_F(ScriptedRecorderTest, FailuresReturnTheirCodeAndLeaveNothingOpen) {
    auto script = std::make_shared<ScriptedCapture>(Blocks{});
    EXPECT_EQ(OpenRecorder(sound, nullptr, script->Factory()), 1);
    EXPECT_FALSE(script->IsOpen());
    for (std::int16_t code : {2, 3}) {
        script->SetOpenResult(code);
        EXPECT_EQ(OpenRecorder(sound, &log, script->Factory()), code);
        EXPECT_FALSE(script->IsOpen());
    }
    script->SetOpenResult(0);
    script->SetStartResult(4);
    EXPECT_EQ(OpenRecorder(sound, &log, script->Factory()), 4);
    EXPECT_FALSE(script->IsOpen());  // opened, refused to start, closed again
    EXPECT_EQ(sound.deviceOpen, 0);
    EXPECT_EQ(sound.device, nullptr);
    CloseRecorder(sound);
}

TEST_F(ScriptedRecorderTest, CloseEndsAWaitingThreadAndNothingIsPostedAfterIt) {
    CloseRecorder(sound);  // never opened: harmless
    auto script = std::make_shared<ScriptedCapture>(Blocks{});
    ASSERT_EQ(OpenRecorder(sound, &log, script->Factory()), 0);
    script->Deliver(2);
    ASSERT_TRUE(script->WaitProcessed(2));
    // The capture thread now waits in Read for a block that never comes.
    CloseRecorder(sound);
    EXPECT_FALSE(script->IsOpen());
    EXPECT_EQ(sound.deviceOpen, 0);
    script->Deliver(5);
    CloseRecorder(sound);
    EXPECT_EQ(script->Processed(), 2);
    EXPECT_EQ(log.Count(), 2);

    // Open again: the script goes on with its next block.
    ASSERT_EQ(OpenRecorder(sound, &log, script->Factory()), 0);
    ASSERT_TRUE(script->WaitProcessed(7));
    EXPECT_EQ(log.Count(), 7);
}

TEST_F(ScriptedRecorderTest, DestroyingTheSoundClosesTheRecorder) {
    auto script = std::make_shared<ScriptedCapture>(Blocks{});
    script->SetPace(std::chrono::microseconds(200));
    {
        SoundBuffer temporary;
        MessageLog owner(&temporary);
        ASSERT_EQ(OpenRecorder(temporary, &owner, script->Factory()), 0);
        temporary.ArmRecording(1000000, false, 0);
        ASSERT_TRUE(script->WaitProcessed(3));
        // Destroyed while recording: the thread must stop before the
        // samples are freed.
    }
    EXPECT_FALSE(script->IsOpen());
}

TEST_F(ScriptedRecorderTest, ChosenFactoryAndReopenReplaceTheDevice) {
    auto first = std::make_shared<ScriptedCapture>(Blocks{});
    auto second = std::make_shared<ScriptedCapture>(Blocks{});
    SetCaptureSourceFactory(first->Factory());
    ASSERT_EQ(OpenRecorder(sound, &log), 0);
    EXPECT_TRUE(first->IsOpen());
    ASSERT_EQ(OpenRecorder(sound, &log, second->Factory()), 0);
    EXPECT_FALSE(first->IsOpen());
    EXPECT_TRUE(second->IsOpen());
    CloseRecorder(sound);
    SetCaptureSourceFactory({});
    EXPECT_TRUE(static_cast<bool>(CurrentCaptureSourceFactory()));
}

TEST_F(ScriptedRecorderTest, PacedContinuousRecordings) {
    // A generator: every block carries its own number in every sample.
    auto script = std::make_shared<ScriptedCapture>(
        [](std::int64_t index, std::int16_t* block, std::int32_t capacity) {
            for (std::int32_t i = 0; i < capacity; ++i) block[i] = static_cast<std::int16_t>(index + 1);
            return capacity;
        });
    script->SetPace(std::chrono::microseconds(100));
    ASSERT_EQ(OpenRecorder(sound, &log, script->Factory()), 0);
    for (int round = 1; round <= 3; ++round) {
        sound.ArmRecording(2 * kCaptureBlockSamples, false, 0);
        while (sound.state.load(std::memory_order_acquire) != RecorderState::Stopped) {
            ASSERT_TRUE(script->WaitProcessed(script->Processed() + 1));
        }
        ASSERT_TRUE(log.WaitForDone());
        // Two consecutive blocks of the stream.
        EXPECT_EQ(sound.samples[kCaptureBlockSamples], sound.samples[0] + 1);
        EXPECT_EQ(sound.samples[2 * kCaptureBlockSamples - 1], sound.samples[0] + 1);
        sound.FinishRecording();
    }
    CloseRecorder(sound);
    EXPECT_EQ(log.Dones(), 3);
}

}  // namespace
