// The real PortAudio path on a system whose default device has no input.
#include <gtest/gtest.h>

#include <filesystem>

#include "audio/recorder.h"
#include "tests/audio/message_log.h"
#include "tests/audio/sound_system_fixture.h"

namespace {

TEST(PortAudioNoInput, RefusedAsUnsupportedFormatWithoutNoise) {
    const std::string folder = sound_system::MakeScratchFolder();
    sound_system::UseAlsaConfiguration(folder, "pcm.!default { type asym playback.pcm { type null } }");
    SoundBuffer sound;
    MessageLog log(&sound);
    sound_system::StderrCatcher caught(folder);
    for (int round = 0; round < 2; ++round) {
        const std::int16_t code = OpenRecorder(sound, &log);
        EXPECT_EQ(code, 2);
        EXPECT_STREQ(RecorderOpenText(code), "Sound format not supported!");
        EXPECT_EQ(sound.deviceOpen, 0);
        EXPECT_EQ(sound.device, nullptr);
    }
    CloseRecorder(sound);
    caught.Restore();
    EXPECT_EQ(caught.Text(), "");
    EXPECT_EQ(log.Count(), 0);
    std::filesystem::remove_all(folder);
}

}  // namespace
