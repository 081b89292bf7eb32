#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>
#include <vector>

#include "analysis/spectrum_analyser.h"
#include "partials/partial_table.h"

namespace {

// A spectrum of steps + 1 zeros from `start` Hz every 0.5 Hz, marked as
// smoothed with the given resolution ratio; the tests draw both curves.
void Prepare(SpectrumAnalyser& engine, std::int32_t steps, double ratio, double start = 0.0) {
    engine.Configure(steps, start, start + steps * 0.5, 0.5);
    for (std::int32_t i = 0; i <= steps; ++i) {
        engine.spectrum[i] = 0.0;
        engine.smoothedSpectrum[i] = 0.0;
    }
    engine.resolutionRatio = ratio;
    engine.smoothValid = 1;
    engine.maxMagnitude = 1.0;
}

// A triangle of the given height and half-width (height - |k| at centre + k)
// on the smoothed curve.
void AddHump(SpectrumAnalyser& engine, std::int32_t centre, int height) {
    for (int k = -height; k <= height; ++k) {
        engine.smoothedSpectrum[centre + k] += height - std::abs(k);
    }
}

PartialTable TableWithOneRow() {
    PartialTable table;
    table.AddPeak(123.0, 0.0, 1.0, 0.0, 0.0, NoPartial);
    table.nominal = 123.0;
    return table;
}

TEST(PeakDetectionTest, RefusesWithoutSmoothingOrBelowThreeWindows) {
    // resolutionRatio -> window width W: 0.5 -> 8, 1 -> 16, 10 -> 151.
    const std::pair<double, std::int32_t> cases[] = {{0.5, 8}, {1.0, 16}, {10.0, 151}};
    for (const auto& [ratio, width] : cases) {
        SpectrumAnalyser engine;
        PartialTable table = TableWithOneRow();
        Prepare(engine, 3 * width - 1, ratio);
        EXPECT_FALSE(table.DetectPeaks(engine)) << ratio;
        EXPECT_EQ(table.count, 1) << "a refusal leaves the table alone";
        EXPECT_EQ(table.nominal, 123.0);

        Prepare(engine, 3 * width, ratio);
        EXPECT_TRUE(table.DetectPeaks(engine)) << ratio;
        EXPECT_EQ(table.count, 0) << "a run starts from an empty table";
        EXPECT_EQ(table.nominal, 0.0);
    }
    SpectrumAnalyser engine;
    PartialTable table = TableWithOneRow();
    Prepare(engine, 1000, 1.0);
    engine.smoothValid = 0;
    EXPECT_FALSE(table.DetectPeaks(engine));
    for (double ratio : {std::numeric_limits<double>::quiet_NaN(), -1.0, 1e300}) {
        Prepare(engine, 1000, ratio);
        EXPECT_FALSE(table.DetectPeaks(engine)) << ratio;
    }
    EXPECT_EQ(table.count, 1);
}

TEST(PeakDetectionTest, IsolatedPeakGivesOneRowAtItsRawMaximum) {
    SpectrumAnalyser engine;
    Prepare(engine, 1000, 1.0, 100.0);
    AddHump(engine, 300, 16);
    // Candidate 300 searches raw points 285 ... 317: 284 is outside; of two
    // equal values the lower point wins.
    engine.spectrum[284] = 3.0;
    engine.spectrum[317] = 2.0;
    engine.spectrum[316] = 2.0;
    engine.maxMagnitude = 3.0;
    PartialTable table;
    ASSERT_TRUE(table.DetectPeaks(engine));
    ASSERT_EQ(table.count, 1);
    EXPECT_EQ(table.frequency[0], 100.0 + 316 * 0.5);
    EXPECT_EQ(table.tailAmplitude[0], 2.0);
    EXPECT_EQ(table.partialsValid, 1);
}

TEST(PeakDetectionTest, PeaksMustBeSharpAndAboveOnePointFivePercent) {
    // With W = 16 a triangle of half-width h scores 2 - 16 / h: 69 gives
    // 1.768 (taken), 70 gives 1.771 (refused). A rising ramp has no peak.
    SpectrumAnalyser engine;
    Prepare(engine, 2000, 1.0);
    AddHump(engine, 200, 69);
    AddHump(engine, 600, 70);
    for (int centre : {1000, 1200, 1400}) {
        AddHump(engine, centre, 16);
    }
    for (int i = 1500; i <= 2000; ++i) {
        engine.smoothedSpectrum[i] = i;
        engine.spectrum[i] = 0.5;
    }
    engine.spectrum[200] = 1.0;
    engine.spectrum[600] = 1.0;
    engine.spectrum[1000] = 0.015;
    engine.spectrum[1200] = 0.0151;
    PartialTable table;
    ASSERT_TRUE(table.DetectPeaks(engine));
    EXPECT_EQ(std::vector<double>(table.frequency.begin(), table.frequency.begin() + table.count),
              (std::vector<double>{100.0, 600.0}));
}

TEST(PeakDetectionTest, PeaksAreOfferedInRisingFrequency) {
    // 30 equally strong peaks: a full table refuses equals, so the 25
    // offered first, the lowest, stay.
    SpectrumAnalyser engine;
    Prepare(engine, 1400, 1.0);
    for (int k = 0; k < 30; ++k) {
        AddHump(engine, 100 + 40 * k, 16);
        engine.spectrum[100 + 40 * k] = 1.0;
    }
    PartialTable table;
    ASSERT_TRUE(table.DetectPeaks(engine));
    ASSERT_EQ(table.count, 25);
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(table.frequency[i], (100 + 40 * i) * 0.5) << i;
    }
}

}  // namespace
