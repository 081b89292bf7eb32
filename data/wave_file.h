#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "data/recording.h"

// The .wav file of a recording: RIFF/WAVE with a 20-byte format chunk and
// one data chunk, every number little-endian whatever the host. Reading
// sound files (these included) is the sound-file input's work
// (cycle/sound_file_input.h), through libsndfile.

inline constexpr std::size_t kWaveHeaderBytes = 48;

// The 48 header bytes for `sampleCount` 16-bit mono samples at
// `sampleRate` Hz: RIFF length 2N + 40, format chunk of 20 bytes (tag 1,
// 1 channel, the rate, 2 x rate bytes per second, block alignment 2, 16 bits,
// then two zero 16-bit values), data length 2N.
std::array<std::uint8_t, kWaveHeaderBytes> WaveHeader(std::int32_t sampleRate, std::int32_t sampleCount);

// Writes the header and then the recording's samples (first to last, signed
// 16-bit little-endian) to `file`, open for binary writing; does not close
// it. False when a write came up short (the stream's error flag tells why).
bool WriteWave(std::FILE* file, const Recording& recording);

// Saves the recording as a .wav file at `path` through SaveFileSafely: false
// when it could not be written completely, and then any earlier file at
// `path` is left as it was ("Error writing file!" for the user).
bool SaveWaveFile(const std::string& path, const Recording& recording);
