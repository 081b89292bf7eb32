#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "data/sound_buffer.h"

// The .wav file of a recording: RIFF/WAVE with a 20-byte format chunk and
// one data chunk, every number little-endian whatever the host. Reading
// sound files (these included) is the sound-file input's work
// (cycle/sound_file_input.h), through libsndfile.

inline constexpr std::size_t kWaveHeaderBytes = 48;

// The 48 header bytes for `sampleCount` samples of `format`: RIFF length
// N x B + 40, format chunk of 20 bytes (tag 1, 1 channel, the format's rate,
// rate x B bytes per second, its block alignment and bits, then two zero
// 16-bit values), data length N x B, where B = wBitsPerSample / 8.
std::array<std::uint8_t, kWaveHeaderBytes> WaveHeader(const WaveFormat& format,
                                                      std::int32_t sampleCount);

// Writes the header and then the sound's samples (first to last, signed
// 16-bit little-endian) to `file`, open for binary writing; does not close
// it. False when a write came up short (the stream's error flag tells why).
// User-interface thread, while no capture writes into the sound.
bool WriteWave(std::FILE* file, const SoundBuffer& sound);

// Saves the sound as a .wav file at `path` through SaveFileSafely: false
// when it could not be written completely, and then any earlier file at
// `path` is left as it was ("Error writing file!" for the user).
bool SaveWaveFile(const std::string& path, const SoundBuffer& sound);
