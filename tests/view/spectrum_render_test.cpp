#include "ui/spectrum_render.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/spectrum_analyser.h"
#include "partials/partial_table.h"
#include "tests/view/view_fixtures.h"

namespace {

constexpr int kW = 40;
constexpr int kH = 30;
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kCyan = qRgb(0, 255, 255);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kRed = qRgb(255, 0, 0);

// Colour of every row of one column, top to bottom, one letter per pixel:
// W white, K black, B blue, C cyan, G green, R red, ? anything else.
std::string Column(const QImage& image, int x) {
    std::string rows;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb c = image.pixel(x, y) | 0xff000000u;
        rows += c == kWhite ? 'W' : c == kBlack ? 'K' : c == kBlue ? 'B' : c == kCyan ? 'C'
              : c == kGreen ? 'G' : c == kRed ? 'R' : '?';
    }
    return rows;
}

// The column a test expects: top row, then runs of (count, letter).
std::string Runs(std::initializer_list<std::pair<int, char>> runs) {
    std::string rows;
    for (const auto& [count, letter] : runs) {
        rows.append(count, letter);
    }
    return rows;
}

class SpectrumRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        // 25 points from 100 Hz in 1 Hz steps, maximum 10: 2 pixels per unit.
        std::vector<double> values(25, 0.0);
        values[0] = 2.0;
        values[3] = 5.0;
        values[6] = 10.0;
        values[8] = 4.0;
        values[12] = 3.0;
        values[24] = 1.0;
        LoadSpectrum(analyser, 100.0, 1.0, values);
        table.AddPeak(108.5, 0.0, 1.0, 0.0, 0.0, NoPartial);  // in column 8's span
        window.verticalScale = (kH - 10) / 10.0;
        window.cursorBin = 12;
    }

    QImage Render() { return RenderSpectrumImage(analyser, table, window, kW, kH); }

    SpectrumAnalyser analyser;
    PartialTable table;
    PlotWindow window;
};

TEST_F(SpectrumRenderTest, BarsRiseFromTheBottomByTheScaledMagnitude) {
    const QImage image = Render();
    ASSERT_EQ(image.size(), QSize(kW, kH));
    // Magnitude 5 at 2 px per unit: 10 blue rows, the bottom border included.
    EXPECT_EQ(Column(image, 3), Runs({{1, 'K'}, {19, 'W'}, {10, 'B'}}));
    // The largest magnitude reaches row 10, leaving rows 1 ... 9 free.
    EXPECT_EQ(Column(image, 6), Runs({{1, 'K'}, {9, 'W'}, {20, 'B'}}));
    // A bar in column 0 covers the left border from below.
    EXPECT_EQ(Column(image, 0), Runs({{26, 'K'}, {4, 'B'}}));
    // A zero bar leaves the bottom border black.
    EXPECT_EQ(Column(image, 5), Runs({{1, 'K'}, {28, 'W'}, {1, 'K'}}));
}

TEST_F(SpectrumRenderTest, PartialAndCursorColumnsHaveTheirColours) {
    QImage image = Render();
    EXPECT_EQ(Column(image, 8), Runs({{1, 'K'}, {21, 'W'}, {8, 'R'}}));
    // Cursor: black bar, green line above it up to the row under the border.
    EXPECT_EQ(Column(image, 12), Runs({{1, 'K'}, {23, 'G'}, {6, 'K'}}));

    window.cursorBin = 8;  // the cursor on the partial column turns cyan
    image = Render();
    EXPECT_EQ(Column(image, 8), Runs({{1, 'K'}, {21, 'G'}, {8, 'C'}}));
    EXPECT_EQ(Column(image, 12), Runs({{1, 'K'}, {23, 'W'}, {6, 'B'}}));

    window.cursorBin = 30;  // a cursor on an empty column: green down to the border
    image = Render();
    EXPECT_EQ(Column(image, 30), Runs({{1, 'K'}, {29, 'G'}}));
}

TEST_F(SpectrumRenderTest, NothingPastTheSpectrumOrInTheLastColumn) {
    const QImage image = Render();
    EXPECT_EQ(Column(image, 24), Runs({{1, 'K'}, {27, 'W'}, {2, 'B'}}));  // point L
    const std::string empty = Runs({{1, 'K'}, {28, 'W'}, {1, 'K'}});
    for (int x = 25; x < kW - 1; ++x) {
        EXPECT_EQ(Column(image, x), empty) << "column " << x;
    }
    EXPECT_EQ(Column(image, kW - 1), std::string(kH, 'K'));  // right border only
    for (int x = 1; x < kW - 1; ++x) {
        EXPECT_EQ(image.pixel(x, 0) | 0xff000000u, kBlack) << "top border at " << x;
    }
}

TEST_F(SpectrumRenderTest, FoldedColumnsShowTheirLargestPoint) {
    window.binsPerPixel = 4;
    window.firstBin = 2;  // column 0: points 2 ... 5, column 1: 6 ... 9
    window.cursorBin = 100;
    const QImage image = Render();
    EXPECT_EQ(Column(image, 0), Runs({{20, 'K'}, {10, 'B'}}));
    // 6 ... 9 holds the maximum and the partial (106 ... 110 Hz).
    EXPECT_EQ(Column(image, 1), Runs({{1, 'K'}, {9, 'W'}, {20, 'R'}}));
}

TEST_F(SpectrumRenderTest, AnAllZeroSpectrumShowsOnlyTheBorder) {
    LoadSpectrum(analyser, 100.0, 1.0, std::vector<double>(300, 0.0));
    table.Clear();
    window.verticalScale = VerticalScale(analyser.maxMagnitude, kH);
    window.cursorBin = -50;  // no cursor column in view
    const QImage image = Render();
    int dark = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            dark += (image.pixel(x, y) | 0xff000000u) != kWhite;
        }
    }
    EXPECT_EQ(dark, 2 * kW + 2 * kH - 4);
    EXPECT_DOUBLE_EQ(window.verticalScale, 10.0);
}

}  // namespace
