#include "ui/spectrum_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

TEST(SpectrumGeometry, FitRoundsPointsPerPixelAndNeverGoesBelowOne) {
    EXPECT_EQ(FitBinsPerPixel(30, 100), 1);    // fewer points than columns
    EXPECT_EQ(FitBinsPerPixel(0, 100), 1);
    EXPECT_EQ(FitBinsPerPixel(149, 100), 1);   // 1.49 rounds down
    EXPECT_EQ(FitBinsPerPixel(150, 100), 2);   // 1.5 rounds up
    EXPECT_EQ(FitBinsPerPixel(500, 0), 1);     // no plot yet
    EXPECT_EQ(MaxFirstBin(30, 100, 1), 0);
}

TEST(SpectrumGeometry, VerticalScaleMapsTheMaximumTenPixelsBelowTheTop) {
    EXPECT_DOUBLE_EQ(VerticalScale(0.0, 284), 10.0);
    EXPECT_DOUBLE_EQ(VerticalScale(2.0, 284), 137.0);
    EXPECT_EQ(BarTop(2.0, VerticalScale(2.0, 284), 284), 9);
    EXPECT_EQ(BarTop(0.0, 137.0, 284), 283);  // a zero bar ends on the bottom row
    EXPECT_EQ(BarTop(0.999, 1.0, 284), 283);  // heights truncate
    // Magnitudes far above the scale (a cancelled run's spectrum) stay bounded.
    EXPECT_EQ(BarTop(1e300, 1e300, 284), -2);
    EXPECT_EQ(BarTop(0.0, std::numeric_limits<double>::infinity(), 284), 283);
}

TEST(SpectrumGeometry, ScaleStepsThroughTheSequenceAndWrapsAtTheMaximum) {
    const auto presses = [](int count, int maxBpp) {
        std::vector<int> seen{1};
        for (int press = 0; press < count; ++press) seen.push_back(NextBinsPerPixel(seen.back(), maxBpp));
        return std::vector<int>(seen.begin() + 1, seen.end());
    };
    EXPECT_EQ(presses(5, 37), (std::vector<int>{4, 10, 37, 1, 4}));
    EXPECT_EQ(presses(9, 1000), (std::vector<int>{4, 10, 40, 100, 200, 400, 800, 1000, 1}));
    EXPECT_EQ(NextBinsPerPixel(1, 1), 1);
    EXPECT_EQ(NextBinsPerPixel(0, 50), 1);
    EXPECT_EQ(NextBinsPerPixel(7, 50), 10);  // a lowered value rejoins the sequence
}

TEST(SpectrumGeometry, CursorTakesTheStrongestPointOfItsColumn) {
    const std::vector<double> s{0.0, 1.0, 5.0, 5.0, 2.0, 0.0, 0.0, 3.0};
    const int last = static_cast<int>(s.size()) - 1;

    CursorPick pick = PickCursor(s.data(), last, 0, 0, 4);  // points 0..3, a tie at 2 and 3
    EXPECT_EQ(pick.cursorBin, 0);
    EXPECT_EQ(pick.bestPoint, 2);
    EXPECT_DOUBLE_EQ(pick.amplitude, 5.0);

    pick = PickCursor(s.data(), last, 1, 1, 4);  // points 5..7
    EXPECT_EQ(pick.cursorBin, 5);
    EXPECT_EQ(pick.bestPoint, 7);

    pick = PickCursor(s.data(), last, 40, 0, 4);  // past the end: on point L
    EXPECT_EQ(pick.cursorBin, last);
    EXPECT_EQ(pick.bestPoint, last);
    EXPECT_DOUBLE_EQ(pick.amplitude, 3.0);

    pick = PickCursor(s.data(), last, 5, 0, 1);  // a zero point keeps its own index
    EXPECT_EQ(pick.bestPoint, 5);
    EXPECT_DOUBLE_EQ(pick.amplitude, 0.0);

    pick = PickCursor(nullptr, 100, 3, 0, 10);  // no spectrum yet
    EXPECT_EQ(pick.bestPoint, 30);
    EXPECT_DOUBLE_EQ(pick.amplitude, 0.0);

    EXPECT_DOUBLE_EQ(ColumnPeak(s.data(), last, 4, 4), 3.0);
    EXPECT_DOUBLE_EQ(ColumnPeak(s.data(), last, 8, 4), 0.0);  // starts past L
    const double nan = std::nan("");
    const std::vector<double> withNan{nan, 1.0};
    EXPECT_DOUBLE_EQ(ColumnPeak(withNan.data(), 1, 0, 2), 1.0);
}

TEST(SpectrumGeometry, LineAndPageStepsStopExactlyAtBothEnds) {
    const int maxFirst = 450;
    EXPECT_EQ(ScrolledFirstBin(kScrollPageRight, 0, maxFirst, 0), 200);
    EXPECT_EQ(ScrolledFirstBin(kScrollPageRight, 200, maxFirst, 0), 400);
    EXPECT_EQ(ScrolledFirstBin(kScrollPageRight, 400, maxFirst, 0), 450);
    EXPECT_EQ(ScrolledFirstBin(kScrollPageLeft, 450, maxFirst, 0), 250);
    EXPECT_EQ(ScrolledFirstBin(kScrollPageLeft, 199, maxFirst, 0), 0);
    EXPECT_EQ(ScrolledFirstBin(kScrollPageLeft, 200, maxFirst, 0), 0);
    EXPECT_EQ(ScrolledFirstBin(kScrollLineLeft, 25, maxFirst, 0), 5);
    EXPECT_EQ(ScrolledFirstBin(kScrollLineLeft, 5, maxFirst, 0), 0);
    EXPECT_EQ(ScrolledFirstBin(kScrollLineRight, 429, maxFirst, 0), 449);
    EXPECT_EQ(ScrolledFirstBin(kScrollLineRight, 430, maxFirst, 0), 450);
    EXPECT_EQ(ScrolledFirstBin(kScrollLineRight, 450, maxFirst, 0), 450);
    EXPECT_EQ(ScrolledFirstBin(kScrollLineRight, 0, 0, 0), 0);  // nothing to pan
    EXPECT_EQ(ScrolledFirstBin(kScrollPageRight, 0, 0, 0), 0);
    // The thumb's last position lies one past maxFirst.
    EXPECT_EQ(ScrolledFirstBin(kScrollThumbPosition, 10, maxFirst, 451), 450);
    EXPECT_EQ(ScrolledFirstBin(kScrollThumbTrack, 10, maxFirst, 321), 321);
    EXPECT_EQ(ScrolledFirstBin(kScrollEnd, 123, maxFirst, 0), 123);
}

TEST(SpectrumGeometry, ConversionsTruncateAndNeverOverflow) {
    EXPECT_EQ(TruncToInt(-2.9), -2);
    EXPECT_EQ(TruncToInt(1e20), std::numeric_limits<int>::max());
    EXPECT_EQ(TruncToInt(std::nan("")), 0);
    EXPECT_EQ(PointAtFrequency(98.0, 100.0, 0.5), -4);
    EXPECT_EQ(NextBinsPerPixel(std::numeric_limits<int>::max() - 1, std::numeric_limits<int>::max()),
              std::numeric_limits<int>::max());
}
