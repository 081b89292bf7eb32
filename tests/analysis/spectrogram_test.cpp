// The spectrogram of tones whose frequency, level and start are known.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "analysis/spectrogram.h"

namespace {

constexpr double kRate = 44100.0;

// A sine of `amplitude` at `hz`, silent before `onSeconds`.
std::vector<std::int16_t> Tone(double hz, double amplitude, double onSeconds, double seconds) {
    std::vector<std::int16_t> x(static_cast<std::size_t>(seconds * kRate));
    for (std::size_t n = static_cast<std::size_t>(onSeconds * kRate); n < x.size(); ++n) {
        x[n] = static_cast<std::int16_t>(std::lround(amplitude * std::sin(2.0 * std::numbers::pi * hz * n / kRate)));
    }
    return x;
}

Spectrogram Of(const std::vector<std::int16_t>& x, const SpectrogramSettings& settings = {}) {
    return MakeSpectrogram(x.data(), static_cast<std::int32_t>(x.size()), kRate, settings);
}

TEST(Spectrogram, PureToneLiesInItsRowAtItsLevel) {
    // 1001.3 Hz lies at 92.97 bins of 10.77 Hz; half of full scale reads -6.02 dB.
    const Spectrogram s = Of(Tone(1001.3, 16384.0, 0.0, 1.0));
    EXPECT_EQ(s.frames, 79);  // whole frames: 78 x 512 + 4096 = 44032 samples
    EXPECT_EQ(std::pair(s.firstBin, s.bins), std::pair(0, 2049));
    for (std::int32_t f = 0; f < s.frames; ++f) {
        std::int32_t best = 0;
        for (std::int32_t b = 0; b < s.bins; ++b) best = s.At(b, f) > s.At(best, f) ? b : best;
        ASSERT_EQ(best, 93) << f;
        EXPECT_NEAR(s.At(93, f), -6.02, 0.05);
        // Far from the tone the Hann window's sidelobes are 100 dB down.
        EXPECT_LT(s.At(300, f), -100.0);
    }
    EXPECT_NEAR(s.maxDb, -6.02, 0.05);

    // A band keeps only its bins, with the same levels.
    const Spectrogram band = Of(Tone(1001.3, 16384.0, 0.0, 1.0), {4096, 512, 900.0, 1100.0});
    EXPECT_EQ(band.firstBin, 83);
    EXPECT_EQ(band.firstBin + band.bins - 1, 103);
    EXPECT_FLOAT_EQ(band.At(93, 10), s.At(93, 10));
}

TEST(Spectrogram, ToneSwitchedOnStartsInTheFrameCentredOnIt) {
    // With half its window covered a frame reads 6 dB below the steady level: the first frame that reads more is
    // the first whose centre has passed the switch, give or take one hop.
    for (const double on : {0.5, 0.73}) {
        const Spectrogram s = Of(Tone(2000.0, 8000.0, on, 1.5));
        // 2000 Hz lies 0.24 of a bin below bin 186, where the Hann window's response is sinc(x) / (1 - x^2).
        const double x = 186.0 - 2000.0 / (kRate / 4096.0);
        const double response = std::sin(std::numbers::pi * x) / (std::numbers::pi * x) / (1.0 - x * x);
        const double steady = s.At(186, s.frames - 10);
        EXPECT_NEAR(steady, 20.0 * std::log10(8000.0 / 32768.0 * response), 0.01);
        std::int32_t first = 0;
        while (first < s.frames && s.At(186, first) < steady - 6.5) ++first;
        EXPECT_NEAR(s.FrameCentreSeconds(first), on, 512.0 / kRate) << on;
        EXPECT_EQ(s.At(186, 0), kSilenceDb);
    }
    // Nothing to analyse gives nothing; a short recording one frame.
    EXPECT_EQ(MakeSpectrogram(nullptr, 0, kRate).frames, 0);
    EXPECT_EQ(Of(Tone(2000.0, 8000.0, 0.0, 0.05)).frames, 1);
}

}  // namespace
