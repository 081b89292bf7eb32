#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Reading a sound file into the form the recorder delivers: mono, signed
// 16-bit, 44100 Hz.

// Samples kept at most from one file, after the conversion to 44100 Hz
// (2^25, 12.7 minutes); the rest of a longer file is ignored with a warning.
inline constexpr std::int64_t kMaxInputFrames = std::int64_t{1} << 25;

// Reads every format libsndfile knows (WAV, AIFF, FLAC, Ogg, ...), mixes
// all channels to mono (their mean), converts any other sample rate to
// 44100 Hz with libsamplerate's best sinc converter, and converts to 16 bits
// (round to nearest, clipped to -32768 ... 32767). A 16-bit mono file at
// 44100 Hz comes back sample for sample. False with `error` holding the
// reason (libsndfile's or libsamplerate's message) when the file cannot be
// read; `warning` is set (non-empty) when only part of the file was used.
bool LoadSoundFile(const std::string& path, std::vector<std::int16_t>& samples, std::string& error,
                   std::string& warning);
