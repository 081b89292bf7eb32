#include <gtest/gtest.h>

#include <vector>

#include "data/sound_buffer.h"

namespace {

void Fill(SoundBuffer& sound, const std::vector<std::int16_t>& values) {
    sound.AllocateSamples(static_cast<std::int32_t>(values.size()));
    sound.sampleCount = static_cast<std::int32_t>(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) sound.samples[i] = values[i];
}

std::vector<std::int16_t> Samples(const SoundBuffer& sound) {
    return {sound.samples.get(), sound.samples.get() + sound.sampleCount};
}

TEST(SoundBufferStretch, SpeedingUpARampMultipliesItsSlope) {
    SoundBuffer sound;
    Fill(sound, {0, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000});
    sound.Stretch(1.1);
    // 10 / 1.1 = 9.09 samples, truncated; values truncated toward zero.
    EXPECT_EQ(Samples(sound),
              (std::vector<std::int16_t>{0, 1100, 2200, 3300, 4400, 5500, 6600, 7700, 8800}));
}

TEST(SoundBufferStretch, SlowingDownUsesTheLastSampleForItsMissingNeighbour) {
    SoundBuffer sound;
    std::vector<std::int16_t> ramp(100);
    for (int i = 0; i < 100; ++i) ramp[i] = static_cast<std::int16_t>(i * 10);
    Fill(sound, ramp);
    sound.Stretch(0.9);
    ASSERT_EQ(sound.sampleCount, 111);
    // Output 110 sits at position 99.0: sample 99 itself.
    EXPECT_EQ(sound.samples[110], 990);
    // Output 1 at 0.9: 0 x 0.1 + 0.9 x 10 = 9.
    EXPECT_EQ(sound.samples[1], 9);
}

TEST(SoundBufferStretch, InterpolatedValuesTruncateTowardZero) {
    SoundBuffer sound;
    // Position 1 x 0.7 = 0.7 between -1000 and -2001: -1700.7 -> -1700.
    Fill(sound, {-1000, -2001, -2001, -2001});
    sound.Stretch(0.7);
    EXPECT_EQ(sound.samples[1], -1700);  // neither floored nor rounded
}

TEST(SoundBufferCapture, ArmingReplacesTheSoundAndSetsTheState) {
    SoundBuffer sound;
    sound.soundState = SoundState::Recorded;
    sound.threshold = 5;
    sound.ArmRecording(88200, true, 25);
    EXPECT_EQ(sound.sampleCount, 88200);
    EXPECT_EQ(sound.targetLength.load(), 88200);
    EXPECT_EQ(sound.destination.load(), sound.samples.get());
    EXPECT_EQ(sound.recordedCount.load(), 0);
    EXPECT_EQ(sound.soundState, SoundState::None);
    EXPECT_EQ(sound.threshold.load(), 25 * 327);
    EXPECT_EQ(sound.state.load(), RecorderState::WaitForTrigger);
    const WaveFormat& f = sound.format;
    EXPECT_EQ((std::vector<std::uint32_t>{f.wFormatTag, f.nChannels, f.nSamplesPerSec, f.nAvgBytesPerSec,
                                          f.nBlockAlign, f.wBitsPerSample}),
              (std::vector<std::uint32_t>{1, 1, 44100, 88200, 2, 16}));

    // Without the trigger the threshold keeps its value.
    sound.ArmRecording(1000, false, 90);
    EXPECT_EQ(sound.threshold.load(), 25 * 327);
    EXPECT_EQ(sound.state.load(), RecorderState::Recording);
}

TEST(SoundBufferCapture, StoppingDiscardsOnlyARecordingInProgress) {
    SoundBuffer sound;
    sound.ArmRecording(100, false, 0);
    sound.soundState = SoundState::Recorded;  // as if a stale value were left
    sound.StopRecording();
    EXPECT_EQ(sound.soundState, SoundState::None);
    EXPECT_EQ(sound.state.load(), RecorderState::Stopped);

    sound.FinishRecording();
    EXPECT_EQ(sound.soundState, SoundState::Recorded);
    sound.state = RecorderState::Analysing;
    sound.StopRecording();  // a cancelled analysis keeps the recording
    EXPECT_EQ(sound.soundState, SoundState::Recorded);
    EXPECT_EQ(sound.state.load(), RecorderState::Stopped);
}

}  // namespace
