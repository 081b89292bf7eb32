#include "analysis/spectrogram.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>

#include "analysis/fft.h"

namespace {

std::int32_t PowerOfTwoIn(std::int32_t n, std::int32_t lo, std::int32_t hi) {
    std::int32_t p = lo;
    while (p < n && p < hi) p *= 2;
    return p;
}

// The periodic Hann window and the gain that turns a full-scale sine at a
// bin's centre into a magnitude of 1: a sine of amplitude A gives
// A/2 x sum(w) there.
std::vector<double> ScaledWindow(std::int32_t n) {
    std::vector<double> window(static_cast<std::size_t>(n));
    double sum = 0.0;
    for (std::int32_t i = 0; i < n; ++i) {
        window[static_cast<std::size_t>(i)] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / n);
        sum += window[static_cast<std::size_t>(i)];
    }
    for (double& w : window) w /= 0.5 * 32768.0 * sum;
    return window;
}

float PowerDb(double power) {
    // Below -300 dB is silence, and log10 of 0 is not a number. In float:
    // levels are kept as floats anyway, and the double logarithm took most
    // of the time over the whole band.
    return power > 1e-30 ? 10.0f * std::log10(static_cast<float>(power)) : kSilenceDb;
}

}  // namespace

Spectrogram MakeSpectrogram(const std::int16_t* samples, std::int32_t count, double rateHz,
                            const SpectrogramSettings& settings) {
    Spectrogram s;
    if (samples == nullptr || count < 1 || !(rateHz > 0.0)) return s;
    s.rateHz = rateHz;
    s.frameSamples = PowerOfTwoIn(settings.frameSamples, 256, 65536);
    s.hopSamples = std::clamp(settings.hopSamples, 1, s.frameSamples);
    s.lengthSamples = count;
    // Whole frames only: one that ran past the end would read its missing
    // samples as silence and show the end fading.
    s.frames = count <= s.frameSamples ? 1 : 1 + (count - s.frameSamples) / s.hopSamples;
    const std::int32_t half = s.frameSamples / 2;
    const double binHz = s.BinHz();
    s.firstBin = std::clamp(static_cast<std::int32_t>(std::max(0.0, settings.lowHz) / binHz), 0, half);
    const auto top = static_cast<std::int32_t>(std::ceil(std::max(0.0, settings.highHz) / binHz));
    s.bins = std::clamp(top, s.firstBin, half) - s.firstBin + 1;
    s.levelsDb.assign(static_cast<std::size_t>(s.bins) * static_cast<std::size_t>(s.frames), kSilenceDb);

    // Plan once: window, twiddles and one buffer serve every frame.
    const std::vector<double> window = ScaledWindow(s.frameSamples);
    std::vector<double> twiddles(static_cast<std::size_t>(s.frameSamples));  // half complex values
    FillTwiddles(twiddles.data(), half);
    std::vector<double> buffer(static_cast<std::size_t>(s.frameSamples));
    std::atomic<std::int32_t> passes{0};
    const std::atomic<std::uint8_t> cancel{0};
    for (std::int32_t f = 0; f < s.frames; ++f) {
        const std::int32_t start = f * s.hopSamples;
        const std::int32_t available = std::clamp(count - start, 0, s.frameSamples);
        for (std::int32_t i = 0; i < available; ++i) buffer[i] = window[i] * samples[start + i];
        std::fill(buffer.begin() + available, buffer.end(), 0.0);
        RealFft(buffer.data(), s.frameSamples, -1, passes, cancel, twiddles.data());
        for (std::int32_t b = 0; b < s.bins; ++b) {
            const std::int32_t k = s.firstBin + b;
            const double power = k == 0      ? buffer[0] * buffer[0]
                                 : k == half ? buffer[1] * buffer[1]
                                             : buffer[2 * k] * buffer[2 * k] + buffer[2 * k + 1] * buffer[2 * k + 1];
            const float level = PowerDb(power);
            s.levelsDb[static_cast<std::size_t>(b) * static_cast<std::size_t>(s.frames) + static_cast<std::size_t>(f)] = level;
            s.maxDb = std::max(s.maxDb, level);
        }
    }
    return s;
}
