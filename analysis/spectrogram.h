#pragma once
#include <cstdint>
#include <vector>

// The level of a recording over time and frequency: Hann-windowed frames
// of `frameSamples` hopped by `hopSamples`, each transformed (the project's
// own FFT) and kept in dB over a band. Plain C++, any thread; no threads of
// its own.

struct SpectrogramSettings {
    std::int32_t frameSamples = 4096;  // a power of two, 256 ... 65536
    std::int32_t hopSamples = 512;     // 1 ... frameSamples
    double lowHz = 0.0;                // band kept (the bins from the one at
    double highHz = 22050.0;           // or below lowHz to the one at or above highHz)
};

struct Spectrogram {
    double rateHz = 0.0;
    std::int32_t frameSamples = 0;
    std::int32_t hopSamples = 0;
    std::int32_t lengthSamples = 0;  // of the recording
    std::int32_t frames = 0;    // frame f covers samples f x hop ... f x hop + frameSamples - 1
    std::int32_t firstBin = 0;  // the lowest bin kept (bin k is k x rateHz / frameSamples Hz)
    std::int32_t bins = 0;      // bins kept from firstBin on
    // Bin-major: levelsDb[b x frames + f] is bin firstBin + b of frame f,
    // dB of the bin's magnitude against that of a full-scale sine
    // (a sine of amplitude 32768 at a bin's centre reads 0 dB; silence
    // reads kSilenceDb).
    std::vector<float> levelsDb;
    float maxDb = -400.0f;  // the largest level kept (kSilenceDb when all silent)

    double BinHz() const { return rateHz / frameSamples; }
    double FrequencyOfBin(std::int32_t bin) const { return bin * BinHz(); }
    // The time of frame f's centre, s from the recording's first sample.
    double FrameCentreSeconds(std::int32_t frame) const {
        return (static_cast<double>(frame) * hopSamples + frameSamples / 2.0) / rateHz;
    }
    float At(std::int32_t bin, std::int32_t frame) const {
        return levelsDb[static_cast<std::size_t>(bin - firstBin) * static_cast<std::size_t>(frames) +
                        static_cast<std::size_t>(frame)];
    }
};

inline constexpr float kSilenceDb = -400.0f;

// The spectrogram of `count` samples at `rateHz`: every frame that lies
// whole within them (the last hop or less is left to the last frame); a
// recording shorter than one frame gives one frame, padded with zeros. Settings outside their ranges are brought into them.
// Empty (no frames) for no samples or a rate not above 0. About 30 ms for
// 20 s at 44100 Hz over the whole band.
Spectrogram MakeSpectrogram(const std::int16_t* samples, std::int32_t count, double rateHz,
                            const SpectrogramSettings& settings = {});
