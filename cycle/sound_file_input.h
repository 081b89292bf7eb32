#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Reading a sound file into the form the recorder delivers: mono, signed
// 16-bit, 44100 Hz.

// Samples kept at most from one file, after the conversion to 44100 Hz
// (2^25, 12.7 minutes); the rest of a longer file is ignored with a warning.
inline constexpr std::int64_t kMaxInputFrames = std::int64_t{1} << 25;

// Reads every format libsndfile knows (WAV, AIFF, FLAC, Ogg, ...) in pieces,
// as far as the caller asks: mixes all channels to mono (their mean),
// converts any other sample rate to 44100 Hz with libsamplerate's best sinc
// converter, and converts to 16 bits (round to nearest, clipped to -32768
// ... 32767). A 16-bit mono file at 44100 Hz comes back sample for sample.
// Memory follows what is kept, never the file's length or rate. One thread.
class SoundFileReader {
public:
    SoundFileReader();
    ~SoundFileReader();

    // False with `error` (libsndfile's or libsamplerate's message) when the
    // file cannot be opened or its rate cannot be converted.
    bool Open(const std::string& path, std::string& error);

    // The largest positive sample of the mixed file at its own rate, in
    // 16-bit units, over the stretch that at most kMaxInputFrames converted
    // samples cover. Call before ReadUpTo: it reads the file once itself.
    int LargestSample();

    // Appends converted samples until `samples` holds `wanted` of them (at
    // most kMaxInputFrames) or the file is used up. False with `error` when
    // reading or converting fails.
    bool ReadUpTo(std::vector<std::int16_t>& samples, std::int64_t wanted, std::string& error);

    // Every sample of the file has been delivered.
    bool Finished() const;
    // Delivery stopped at kMaxInputFrames with more of the file left.
    bool Cut(const std::vector<std::int16_t>& samples) const;

private:
    struct State;
    std::unique_ptr<State> state;
};

// The whole file (up to kMaxInputFrames samples) through a SoundFileReader;
// `warning` is set (non-empty) when only part of the file was used.
bool LoadSoundFile(const std::string& path, std::vector<std::int16_t>& samples, std::string& error,
                   std::string& warning);
