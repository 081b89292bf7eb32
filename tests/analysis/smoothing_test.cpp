#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "analysis/spectrum_analyser.h"
#include "tests/analysis/reference.h"

namespace {

void Fill(SpectrumAnalyser& engine, const std::vector<double>& values, double interval) {
    engine.Configure(static_cast<std::int32_t>(values.size()) - 1, 0.0, 0.0, interval);
    std::copy(values.begin(), values.end(), engine.spectrum.get());
}

std::vector<double> Smoothed(const SpectrumAnalyser& engine) {
    return {engine.smoothedSpectrum.get(), engine.smoothedSpectrum.get() + engine.steps + 1};
}

TEST(FindMaximum, FindsTheLargestValueAlsoInTheLastPoint) {
    SpectrumAnalyser engine;
    engine.FindMaximum();
    EXPECT_EQ(engine.maxMagnitude, 0.0);
    Fill(engine, {0.0, 0.0, 0.0}, 1.0);
    engine.FindMaximum();
    EXPECT_EQ(engine.maxMagnitude, 0.0);
    Fill(engine, {1.0, 5.0, 2.0, 7.5}, 1.0);
    engine.FindMaximum();
    EXPECT_EQ(engine.maxMagnitude, 7.5);
}

TEST(Smooth, SmoothsAtThreeKAndRefusesBelowButStoresTheRatio) {
    // 88200 samples at 44100 Hz with interval 0.5: c = 1, K = 31.
    SpectrumAnalyser engine;
    Fill(engine, std::vector<double>(94, 1.0), 0.5);  // steps 93 = 3K
    EXPECT_TRUE(engine.Smooth(44100, 88200));
    Fill(engine, std::vector<double>(93, 1.0), 0.5);  // steps 92 = 3K - 1
    engine.resolutionRatio = -1.0;
    EXPECT_FALSE(engine.Smooth(44100, 88200));
    EXPECT_EQ(engine.resolutionRatio, 1.0);
    EXPECT_EQ(engine.smoothedSpectrum[0], 0.0);  // untouched
    EXPECT_FALSE(engine.Smooth(0, 88200));
    EXPECT_FALSE(engine.Smooth(44100, -1));
}

TEST(Smooth, EdgesUseTheMeanOfTheOutermostKPoints) {
    // Interval 10 Hz: c = 0.05, K = trunc(2.5) = 2, u = 1/4, g = {1, 1/4, 0}.
    SpectrumAnalyser engine;
    Fill(engine, {1, 2, 3, 4, 5, 6, 7}, 10.0);
    ASSERT_TRUE(engine.Smooth(44100, 88200));
    // Low fill (1 + 2) / 2, high fill (6 + 7) / 2.
    EXPECT_EQ(Smoothed(engine), (std::vector<double>{1 + (1.5 + 2) / 4, 2 + 4.0 / 4, 3 + 6.0 / 4, 4 + 8.0 / 4,
                                                     5 + 10.0 / 4, 6 + 12.0 / 4, 7 + (6 + 6.5) / 4}));
}

TEST(Smooth, ConstantSpectrumGivesTheSumOfTheWeightsEverywhere) {
    // c = 1: K = 31, u = 1/1922; sum = u (K^2 + 2 sum_{k=1}^{K-1} (K-k)^2).
    SpectrumAnalyser engine;
    Fill(engine, std::vector<double>(400, 3.0), 0.5);
    ASSERT_TRUE(engine.Smooth(44100, 88200));
    const double sum = (961.0 + 2 * 9455.0) / 1922.0;
    for (double v : Smoothed(engine)) ASSERT_NEAR(v, 3.0 * sum, 1e-12);
}

TEST(Smooth, BothWeightUnitsMeetAtHalfAPoint) {
    SpectrumAnalyser engine;
    std::vector<double> values(2000);
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = 1.0 + (i * 37 % 101);
    Fill(engine, values, 1.0);
    ASSERT_TRUE(engine.Smooth(44100, 88200));  // c = 0.5
    const std::vector<double> atHalf = Smoothed(engine);
    ASSERT_TRUE(engine.Smooth(44100, 88199));  // c just above 0.5, same K = 16
    for (std::size_t j = 0; j < values.size(); ++j) ASSERT_NEAR(Smoothed(engine)[j], atHalf[j], 1e-4 * atHalf[j]);
}

TEST(Smooth, IsBitForBitThePointByPointForm) {
    // Up to the largest band at 0.05 Hz (steps 100001, K = 301), and kernels
    // whose K - 1 offsets do not divide into groups of four. Exact zeros
    // must stay exact zeros, so no running sums.
    const struct {
        double interval;
        std::int32_t steps, half;
        double unit;
    } cases[] = {{0.05, 100001, 301, 1.0 / (301.0 * 301.0) / 10.0 / 2.0},
                 {0.5, 10000, 31, 1.0 / 961.0 / 1.0 / 2.0},
                 {1.0, 3000, 16, 1.0 / 256.0}};
    std::mt19937 random(3);
    std::uniform_real_distribution<double> value(0.0, 100.0);
    for (const auto& c : cases) {
        std::vector<double> values(c.steps + 1);
        for (std::int32_t i = 0; i <= c.steps; ++i) values[i] = i > c.steps / 2 && i < c.steps / 2 + 1000 ? 0.0 : value(random);
        SpectrumAnalyser engine;
        Fill(engine, values, c.interval);
        ASSERT_TRUE(engine.Smooth(44100, 88200));
        const std::vector<double> expected = LiteralSmooth(values, c.half, c.unit);
        EXPECT_EQ(std::memcmp(expected.data(), engine.smoothedSpectrum.get(), expected.size() * sizeof(double)), 0)
            << c.steps;
        EXPECT_EQ(engine.smoothedSpectrum[c.steps / 2 + 500], 0.0);
    }
}

}  // namespace
