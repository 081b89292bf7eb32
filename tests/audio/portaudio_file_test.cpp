// The real PortAudio path, fed from a file through ALSA's file plugin.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "audio/recorder.h"
#include "tests/audio/message_log.h"
#include "tests/audio/sound_system_fixture.h"

namespace {

constexpr std::int32_t kFileBlocks = 5;
constexpr std::int32_t kTriggerBlock = 2;

// Quiet (below the 3270 of slider 10) and different everywhere, with one
// loud sample in the trigger block.
std::vector<std::int16_t> FileSamples() {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(kFileBlocks * kCaptureBlockSamples));
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::int16_t>(i % 3001 - 1500);
    samples[static_cast<std::size_t>(kTriggerBlock * kCaptureBlockSamples + 3000)] = 20000;
    return samples;
}

class PortAudioFileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = sound_system::MakeScratchFolder();
        const std::vector<std::int16_t> samples = FileSamples();
        std::ofstream(folder + "/in.raw", std::ios::binary)
            .write(reinterpret_cast<const char*>(samples.data()),
                   static_cast<std::streamsize>(samples.size() * sizeof(std::int16_t)));
        sound_system::UseAlsaConfiguration(
            folder, "pcm.!default { type file  slave.pcm { type null }  file \"/dev/null\"  infile \"" +
                        folder + "/in.raw\"  format \"raw\" }");
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(folder); }

    static inline std::string folder;
    SoundBuffer sound;
    MessageLog log{&sound};
};

TEST_F(PortAudioFileTest, TriggeredRecordingHoldsTheFileFromTheTriggeringBlock) {
    // The file plugin runs far faster than real time: the first block's
    // message waits until the recording is armed, so blocks 1.. meet it.
    log.HoldFirstMessage();
    sound_system::StderrCatcher caught(folder);
    ASSERT_EQ(OpenRecorder(sound, &log), 0);
    std::fputs("after open\n", stderr);
    sound.ArmRecording((kFileBlocks - kTriggerBlock) * kCaptureBlockSamples, true, 10);
    log.ReleaseFirstMessage();
    ASSERT_TRUE(log.WaitForDone());
    CloseRecorder(sound);
    caught.Restore();
    EXPECT_EQ(caught.Text(), "after open\n");  // no probing noise, stderr restored

    EXPECT_EQ(log.At(kFileBlocks - 1), WM_RECORDING_DONE);
    EXPECT_EQ(log.Levels(), log.Count() - 1);
    EXPECT_EQ(sound.state.load(), RecorderState::Stopped);
    const std::vector<std::int16_t> file = FileSamples();
    const std::int32_t first = kTriggerBlock * kCaptureBlockSamples;
    ASSERT_EQ(sound.recordedCount.load(), sound.sampleCount);
    for (std::int32_t i = 0; i < sound.sampleCount; ++i) {
        ASSERT_EQ(sound.samples[i], file[static_cast<std::size_t>(first + i)]) << "sample " << i;
    }
}

TEST_F(PortAudioFileTest, OpensAndClosesRepeatedly) {
    for (int round = 0; round < 3; ++round) {
        MessageLog owner(&sound);
        ASSERT_EQ(OpenRecorder(sound, &owner), 0) << "round " << round;
        EXPECT_EQ(sound.deviceOpen, 1);
        EXPECT_TRUE(owner.WaitForCount(3));
        CloseRecorder(sound);
        EXPECT_EQ(sound.deviceOpen, 0);
        const int after = owner.Count();
        CloseRecorder(sound);
        EXPECT_EQ(owner.Count(), after);  // nothing posted once closed
    }
}

}  // namespace
