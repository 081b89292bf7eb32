#include "ui/spectrum_view.h"

#include <gtest/gtest.h>

#include <vector>

#include "analysis/spectrum_analyser.h"
#include "partials/partial_table.h"
#include "tests/view/view_fixtures.h"

namespace {

constexpr int kWidth = 100;
constexpr int kHeight = 60;
const QRect kFrame(200, 150, kWidth, kHeight);

class SpectrumViewTest : public ::testing::Test {
protected:
    // L = 3700 with W = 100 fits at (50 + 3700) / 100 = 37 points per pixel.
    void SetUpLong(int points = 3701) {
        std::vector<double> values(points, 1.0);
        values[1000] = 8.0;
        LoadSpectrum(analyser, 100.0, 0.5, values);
        view.SetUp(host, kWidth, kHeight, kFrame);
    }

    SpectrumAnalyser analyser;
    PartialTable table;
    SpectrumView view{analyser, table};
    FakeHost host;
};

TEST_F(SpectrumViewTest, SetUpStartsAtPointZeroAtFullCompression) {
    SetUpLong();
    EXPECT_EQ(view.maxBinsPerPixel, 37);
    EXPECT_EQ(view.binsPerPixel, 37);
    EXPECT_EQ(view.firstBin, 0);
    EXPECT_EQ(view.cursorBin, 0);
    EXPECT_DOUBLE_EQ(view.cursorFrequency, 100.0);
    EXPECT_DOUBLE_EQ(view.cursorAmplitude, 1.0);
    EXPECT_DOUBLE_EQ(view.verticalScale, 50.0 / 8.0);
    EXPECT_EQ(view.image.size(), QSize(kWidth, kHeight));
    EXPECT_EQ(view.frameRect.bottom, 210);
    EXPECT_EQ(host.scroll.maximum, 3700);
    EXPECT_EQ(host.scroll.page, 3700);
    EXPECT_EQ(host.scroll.position, 0);
    EXPECT_EQ(host.spinRange, std::make_pair(0, kWidth - 1));
    EXPECT_EQ(host.spinPosition, 0);
    EXPECT_EQ(host.pushes, std::vector<bool>{true});
    EXPECT_EQ(host.shows, 1);
}

TEST_F(SpectrumViewTest, ScaleWithMaximum37Gives4_10_37_1AndRecentres) {
    SetUpLong();
    view.PlaceCursor(27);  // column 27 of 37 points: 999 ... 1035, strongest 1000
    ASSERT_DOUBLE_EQ(view.cursorFrequency, 600.0);
    std::vector<int> seen;
    for (int press = 0; press < 5; ++press) {
        view.OnScale();
        seen.push_back(view.binsPerPixel);
        EXPECT_TRUE(host.pushes.back());
        EXPECT_DOUBLE_EQ(view.cursorFrequency, 600.0);
        EXPECT_DOUBLE_EQ(view.cursorAmplitude, 8.0);
    }
    // Set-up starts at the full compression, so the first press gives 1.
    EXPECT_EQ(seen, (std::vector<int>{1, 4, 10, 37, 1}));
    // At 1 point per pixel the cursor's point sits in the middle of the plot.
    EXPECT_EQ(view.firstBin, 1000 - 50);
    EXPECT_EQ(view.cursorBin, 1000);
    EXPECT_EQ(host.spinPosition, 50);
    EXPECT_EQ(host.scroll.page, kWidth);
    EXPECT_EQ(host.scroll.position, 950);
}

TEST_F(SpectrumViewTest, FewerPointsThanColumnsCannotScroll) {
    LoadSpectrum(analyser, 0.0, 1.0, std::vector<double>(31, 2.0));
    view.SetUp(host, kWidth, kHeight, kFrame);
    EXPECT_EQ(view.maxBinsPerPixel, 1);
    for (int code : {kScrollLineRight, kScrollPageRight, kScrollRight, kScrollThumbTrack}) {
        view.OnHScroll(code, 25, kScrollBarId);
        EXPECT_EQ(view.firstBin, 0) << "code " << code;
    }
    view.OnScale();
    EXPECT_EQ(view.binsPerPixel, 1);
    view.PlaceCursor(80);  // past the end: on point L
    EXPECT_EQ(view.cursorBin, 30);
    EXPECT_DOUBLE_EQ(view.cursorFrequency, 30.0);
    EXPECT_DOUBLE_EQ(view.cursorAmplitude, 2.0);
    EXPECT_EQ(host.spinPosition, 30);
}

TEST_F(SpectrumViewTest, ScrollingPansAndPublishesWithoutMovingTheCursor) {
    SetUpLong(10001);
    view.binsPerPixel = 4;  // maxFirst = 10000 - 400
    view.OnHScroll(kScrollRight, 0, kScrollBarId);
    view.OnHScroll(kScrollLineLeft, 0, kScrollBarId);
    EXPECT_EQ(view.firstBin, 9580);
    view.OnHScroll(kScrollPageRight, 0, kScrollBarId);
    EXPECT_EQ(view.firstBin, 9600);
    view.OnHScroll(kScrollThumbTrack, 1234, kScrollBarId);
    EXPECT_EQ(view.firstBin, 1234);
    EXPECT_EQ(host.scroll.position, 1234);
    EXPECT_EQ(host.scroll.page, 400);
    EXPECT_TRUE(host.pushes.back());
    EXPECT_EQ(view.cursorBin, 0);
    EXPECT_EQ(host.spinPosition, 0);
}

TEST_F(SpectrumViewTest, SpinAndClicksPlaceTheCursorWithoutAttaching) {
    SetUpLong();
    view.OnScale();
    view.OnScale();  // 4 points per pixel, centred on point 0
    ASSERT_EQ(view.binsPerPixel, 4);
    const std::size_t before = host.pushes.size();
    view.OnHScroll(kScrollThumbPosition, 250, kSpinId);  // beyond W - 1
    EXPECT_EQ(view.cursorBin, 99 * 4);
    EXPECT_EQ(host.spinPosition, 99);
    EXPECT_FALSE(host.pushes.back());

    view.OnLButtonDown(0, QPoint(200 + 12, 150 + 5));  // inside: column 12
    EXPECT_EQ(view.cursorBin, 48);
    EXPECT_EQ(host.spinPosition, 12);
    const std::size_t afterClick = host.pushes.size();
    view.OnLButtonDown(0, QPoint(200 + kWidth, 150 + 5));  // right edge is outside
    view.OnLButtonDown(0, QPoint(199, 150));
    view.OnHScroll(kScrollLineRight, 0, 1181);  // the trigger slider
    EXPECT_EQ(host.pushes.size(), afterClick);
    EXPECT_EQ(view.cursorBin, 48);
    EXPECT_EQ(host.pushes.size() - before, 2u);
}

TEST_F(SpectrumViewTest, CursorKeepsItsFrequencyAcrossANewBand) {
    SetUpLong();
    view.PlaceCursor(27);  // 600 Hz, magnitude 8
    view.OnScale();
    view.OnScale();  // 4 points per pixel
    ASSERT_EQ(view.binsPerPixel, 4);

    // A new transform from 500 Hz in 0.25 Hz steps up to 1500 Hz.
    std::vector<double> values(4001, 0.5);
    values[400] = 3.0;  // 600 Hz
    LoadSpectrum(analyser, 500.0, 0.25, values);
    view.RefreshAfterAnalysis();
    EXPECT_EQ(view.maxBinsPerPixel, 40);
    EXPECT_EQ(view.binsPerPixel, 4);
    EXPECT_DOUBLE_EQ(view.cursorFrequency, 600.0);
    EXPECT_DOUBLE_EQ(view.cursorAmplitude, 8.0);  // not re-read until placed again
    EXPECT_EQ(view.firstBin, 400 - 200);
    EXPECT_EQ(view.cursorBin, 400);
    EXPECT_DOUBLE_EQ(view.verticalScale, 50.0 / 3.0);
    EXPECT_EQ(host.scroll.maximum, 4000);

    // A band that ends below the cursor: the view goes as far right as it can.
    LoadSpectrum(analyser, 200.0, 0.5, std::vector<double>(201, 1.0));
    view.RefreshAfterAnalysis();
    EXPECT_EQ(view.binsPerPixel, 2);  // lowered to the new fit
    EXPECT_EQ(view.firstBin, 0);
    EXPECT_DOUBLE_EQ(view.cursorFrequency, 600.0);
    EXPECT_EQ(host.spinPosition, kWidth - 1);
}

}  // namespace
