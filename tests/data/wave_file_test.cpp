#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "data/wave_file.h"
#include "test_files.h"

namespace {

std::uint32_t Read32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

void Record(SoundBuffer& sound, std::int32_t count) {
    sound.SetFormat(44100, count, 16);
    for (std::int32_t i = 0; i < count; ++i) sound.samples[i] = static_cast<std::int16_t>(i * 7 - 3000);
}

TEST(WaveFile, HeaderOfTwoSecondsIsTheFixedFortyEightBytes) {
    SoundBuffer sound;
    Record(sound, 88200);
    const auto header = WaveHeader(sound.format, sound.sampleCount);
    const std::uint8_t expected[48] = {
        'R', 'I', 'F', 'F', 0x38, 0xB1, 0x02, 0x00,  // 176440
        'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
        20, 0, 0, 0,                                 // format chunk of 20 bytes
        1, 0, 1, 0,                                  // PCM, mono
        0x44, 0xAC, 0, 0,                            // 44100 Hz
        0x88, 0x58, 0x01, 0,                         // 88200 bytes per second
        2, 0, 16, 0,                                 // block alignment, bits
        0, 0, 0, 0,                                  // extra size, reserved
        'd', 'a', 't', 'a', 0x10, 0xB1, 0x02, 0x00,  // 176400
    };
    EXPECT_EQ(std::vector<std::uint8_t>(header.begin(), header.end()),
              std::vector<std::uint8_t>(std::begin(expected), std::end(expected)));
}

TEST(WaveFile, FileHoldsHeaderThenLittleEndianSamples) {
    SoundBuffer sound;
    Record(sound, 88200);
    TemporaryFolder folder;
    const std::string path = folder.File("bell.wav");
    ASSERT_TRUE(SaveWaveFile(path, sound));
    const std::string bytes = ReadWholeFile(path);
    ASSERT_EQ(bytes.size(), 176448u);
    const auto header = WaveHeader(sound.format, sound.sampleCount);
    EXPECT_EQ(bytes.substr(0, 48), std::string(header.begin(), header.end()));
    // Sample 0 is -3000 = 0xF448, sample 1000 is 4000 = 0x0FA0.
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[48]), 0x48);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[49]), 0xF4);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[48 + 2000]), 0xA0);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[48 + 2001]), 0x0F);
}

TEST(WaveFile, StretchedSoundKeepsItsRateWithFewerSamples) {
    SoundBuffer sound;
    Record(sound, 88200);
    sound.Stretch(1.1);
    const auto count = static_cast<std::uint32_t>(sound.sampleCount);
    ASSERT_EQ(count, 80181u);
    std::FILE* file = std::tmpfile();
    ASSERT_TRUE(WriteWave(file, sound));
    const long length = std::ftell(file);
    std::rewind(file);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    ASSERT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
    EXPECT_EQ(bytes.size(), 48 + 2 * count);
    EXPECT_EQ(Read32(bytes, 4), 2 * count + 40);
    EXPECT_EQ(Read32(bytes, 24), 44100u);
    EXPECT_EQ(Read32(bytes, 44), 2 * count);
}

TEST(WaveFile, WriteErrorsAreReported) {
    SoundBuffer sound;
    Record(sound, 1000);
    std::FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    std::setvbuf(full, nullptr, _IONBF, 0);
    EXPECT_FALSE(WriteWave(full, sound));
    std::fclose(full);
    TemporaryFolder folder;
    EXPECT_FALSE(SaveWaveFile(folder.File("no/such/folder.wav"), sound));
}

}  // namespace
