#include "ui/spectrum_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "analysis/spectrum.h"
#include "partials/partial_table.h"
#include "ui/plot_axis.h"
#include "ui/plot_zoom.h"
#include "ui/toolkit/scroll_bar.h"
#include "ui/toolkit/spin_button.h"

namespace {

// Edges the view below never reaches: fit rounding, doubling steps, scroll ends, NaN, huge bars, ties, past L.
TEST(SpectrumGeometry, EdgesRoundClampAndSaturate) {
    EXPECT_EQ(FitBinsPerPixel(150, 100), 2);
    std::vector<int> seen{1};
    while (seen.size() < 10) seen.push_back(NextBinsPerPixel(seen.back(), 1000));
    EXPECT_EQ(seen, (std::vector<int>{1, 4, 10, 40, 100, 200, 400, 800, 1000, 1}));
    struct Case { int code, first, expected; };  // the last useful left edge is 450, the thumb at -3
    for (const Case& c : std::vector<Case>{{kScrollPageRight, 400, 450}, {kScrollPageLeft, 450, 250},
             {kScrollPageLeft, 199, 0}, {kScrollLineLeft, 25, 5}, {kScrollLineLeft, 5, 0}, {kScrollLineRight, 431, 450},
             {kScrollThumbTrack, 9, 0}, {kScrollLeft, 300, 0}, {kScrollEnd, 123, 123}}) {
        EXPECT_EQ(ScrolledFirstBin(c.code, c.first, 450, -3), c.expected) << c.code << " from " << c.first;
    }
    EXPECT_EQ(TruncToInt(std::nan("")), 0);
    EXPECT_EQ(BarTop(1e300, 1e300, 284), -2);
    const std::vector<double> s{std::nan(""), 5.0, 5.0, 9.0};
    const CursorPick tie = PickCursor(s.data(), 3, 0, 0, 3), past = PickCursor(s.data(), 3, 7, 0, 1);
    EXPECT_EQ(std::tuple(tie.bestPoint, tie.amplitude, past.cursorBin, past.amplitude), std::tuple(1, 5.0, 3, 9.0));
}

// The wheel walks the "Scale" steps into magnification and back, keeping the point under the pointer;
// the dB scale maps known levels to known rows; axis ticks sit on round frequencies at their columns.
TEST(PlotZoomAxisDecibels, KnownAnswers) {
    std::vector<PlotZoom> seen{{37, 1}};
    for (int step = 0; step < 19; ++step) seen.push_back(WheelZoom(seen.back(), step < 9, 37));
    const std::vector<PlotZoom> expected{{37, 1}, {10, 1}, {4, 1}, {1, 1}, {1, 2}, {1, 4}, {1, 8}, {1, 16}, {1, 32},
        {1, 32}, {1, 16}, {1, 8}, {1, 4}, {1, 2}, {1, 1}, {4, 1}, {10, 1}, {37, 1}, {37, 1}, {37, 1}};
    EXPECT_EQ(seen, expected);
    for (std::size_t i = 1; i < seen.size(); ++i) {  // column 100 of 562 keeps its point 5000 (of 0 ... 100000)
        const int before = 5000 - static_cast<int>(PointsAcross(100, seen[i - 1].binsPerPixel, seen[i - 1].pixelsPerPoint));
        const int after = FirstBinKeepingColumn(100, before, seen[i - 1], seen[i], 100000, 562);
        EXPECT_EQ(ColumnFirstPoint(100, after, seen[i].binsPerPixel, seen[i].pixelsPerPoint), 5000) << i;
    }
    EXPECT_EQ(FirstBinKeepingColumn(10, 0, {1, 1}, {37, 1}, 20000, 562), 0) << "clamped at the left end";
    // 0, -20, -40, -80 and -100 dB, and nothing, on a 100-row plot: rows 9 + 90 x dB / -80.
    for (const auto& [peak, top] : std::vector<std::pair<double, int>>{{4, 9}, {0.4, 32}, {0.04, 54}, {4e-4, 99}, {4e-5, 99}, {0, 99}}) {
        EXPECT_EQ(DecibelBarTop(peak, 4.0, 100), top) << peak;
    }
    struct Case { AxisSpan span; int spacing; double step; std::vector<std::pair<int, std::string>> ticks; };
    for (const Case& c : std::vector<Case>{
             {{0, 0.5, 0, 18, 1, 562}, 96, 1000, {{0, "0"}, {111, "1000"}, {222, "2000"}, {333, "3000"}, {444, "4000"}, {555, "5000"}}},
             {{0, 0.5, 400, 18, 1, 562}, 96, 1000, {{88, "1000"}, {200, "2000"}, {311, "3000"}, {422, "4000"}, {533, "5000"}}},
             {{400, 0.5, 1277, 1, 4, 160}, 60, 10, {{14, "1040"}, {94, "1050"}}},
             {{0, 0.05, 0, 1, 8, 60}, 16, 0.1, {{4, "0"}, {20, "0.1"}, {36, "0.2"}, {52, "0.3"}}},
             {{0, 1, 0, 1, 1, 100}, 50, 50, {{0, "0"}, {50, "50"}}}}) {  // 100 Hz would be column 100, past the plot
        std::vector<std::pair<int, std::string>> ticks;
        for (const AxisTick& t : AxisTicks(c.span, c.spacing)) ticks.emplace_back(t.column, t.label);
        EXPECT_EQ(AxisStepHz(c.span, c.spacing), c.step);
        EXPECT_EQ(ticks, c.ticks);
    }
}

// A finished spectrum on the grid start + j x interval, as a completed transform leaves it.
void LoadSpectrum(Spectrum& spectrum, double start, double interval, const std::vector<double>& values) {
    const auto last = static_cast<std::int32_t>(values.size()) - 1;
    spectrum = Spectrum{start, start + last * interval, interval, last, values, {}, 0.0, 0.0};
    FindMaximum(spectrum);
}

const std::map<QRgb, char> kNames{{0xffffff, 'W'}, {0, 'K'}, {0xff, 'B'}, {0xffff, 'C'}, {0xff00, 'G'}, {0xff0000, 'R'}};

// Column x top to bottom as runs of colours: "1K19W10B" is 1 black, 19 white, 10 blue (C cyan, G green, R red).
std::string Runs(const QImage& image, int x) {
    std::string runs;
    for (int y = 0, count = 1; y < image.height(); ++y, ++count) {
        if (y + 1 < image.height() && image.pixel(x, y + 1) == image.pixel(x, y)) continue;
        const auto it = kNames.find(image.pixel(x, y) & 0xffffff);
        runs += std::to_string(count) + (it == kNames.end() ? '?' : it->second), count = 0;
    }
    return runs;
}

// 25 points from 100 Hz, 1 Hz apart, 40 x 30 pixels at 2 rows per unit, a partial at 108.5 Hz; all columns checked.
TEST(SpectrumRender, EveryColumnHasItsBarsExactHeightAndColour) {
    Spectrum spectrum;
    std::vector<double> values(25, 0.0);
    values[0] = 2.0, values[3] = 5.0, values[6] = 10.0, values[8] = 4.0, values[12] = 3.0, values[24] = 1.0;
    LoadSpectrum(spectrum, 100.0, 1.0, values);
    PartialTable table;
    table.AddPeak(108.5, 0.0, 1.0, 0.0, 0.0, NoPartial);
    struct Case { PlotWindow window; std::map<int, std::string> columns; };
    for (const Case& c : std::vector<Case>{
             // The cursor's bar black with green above it up to row 1, the partial's red, column 0 over the border.
             {{1, 0, 12, 2.0},
              {{0, "26K4B"}, {3, "1K19W10B"}, {6, "1K9W20B"}, {8, "1K21W8R"}, {12, "1K23G6K"}, {24, "1K27W2B"}}},
             // 4 points a column from point 2: 2...5 shows 5, the cursor's 6...9 the maximum and the partial (cyan).
             {{4, 2, 6, 2.0}, {{0, "20K10B"}, {1, "1K9G20C"}, {2, "1K23W6B"}, {5, "1K27W2B"}}}}) {
        const QImage image = RenderSpectrumImage(spectrum, table, c.window, 40, 30);
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(Runs(image, x), x == 39 ? "30K" : c.columns.count(x) ? c.columns.at(x) : "1K28W1K") << x;
    }
    EXPECT_EQ(Runs(RenderSpectrumImage(spectrum, table, {1, 0, 9, 2.0}, 2, 1), 0), "1B");  // one row still shows bars
}

// The view hosted as the main window hosts it: the toolkit's scroll bar and spin, the readout pushes recorded.
class SpectrumViewTest : public ::testing::Test, public SpectrumViewHost {
protected:
    void PushReadouts(bool attach) override { attaches.push_back(attach); }
    void SetScrollInfo(int lo, int hi, int page, int at) override { bar.SetScrollInfo({lo, hi, page, at, 0}); }
    void SetSpinRange(int lower, int upper) override { spin.SetRange(lower, upper); }
    void SetSpinPosition(int position) override { spin.SetPos(position); }
    void ShowImage() override {}
    // 3701 points from 100 Hz, 0.5 Hz apart, 1 but point 0 (2) and 1000 (8 at 600 Hz); 37 points a column fit 100.
    void Start() {
        QObject::connect(&bar, &ScrollBar::hscroll, [&](int code, int at) { view.OnHScroll(code, at, kScrollBarId); });
        QObject::connect(&spin, &SpinButton::hscroll, [&](int code, int at) { view.OnHScroll(code, at, kSpinId); });
        std::vector<double> values(3701, 1.0);
        values[0] = 2.0, values[1000] = 8.0;
        LoadSpectrum(spectrum, 100.0, 0.5, values);
        view.SetUp(*this, 100, 60, QRect(200, 150, 100, 60));
    }
    void Click(int x, int y = 20) { view.OnLButtonDown(0, QPoint(200 + x, 150 + y)); }
    // binsPerPixel, firstBin, cursorBin, cursor frequency and amplitude, spin; scroll bar maximum, page, position.
    auto State() const {
        const ScrollInfo info = bar.GetScrollInfo();
        return std::tuple(view.binsPerPixel, view.firstBin, view.cursorBin, view.cursorFrequency, view.cursorAmplitude,
                          spin.GetPos(), info.maximum, info.page, info.position);
    }

    Spectrum spectrum;
    PartialTable table;
    SpectrumView view{spectrum, table};
    ScrollBar bar;
    SpinButton spin;
    std::vector<bool> attaches;
};

TEST_F(SpectrumViewTest, AUserClicksScalesStepsAndScrolls) {
    Start();
    EXPECT_EQ(State(), std::tuple(37, 0, 0, 100, 2, 0, 3700, 3700, 0));
    EXPECT_EQ(spin.Upper(), 99);
    Click(27);  // column 27 holds points 999 ... 1035, the strongest is 1000
    EXPECT_EQ(State(), std::tuple(37, 0, 999, 600, 8, 27, 3700, 3700, 0));
    for (int press = 0; press < 5; ++press) view.OnScale();  // 1, 4, 10, 37, 1
    // One point a column centred on the cursor, whose magnitude 8 fills 50 of 60 rows.
    EXPECT_EQ(State(), std::tuple(1, 950, 1000, 600, 8, 50, 3700, 100, 950));
    EXPECT_EQ(Runs(view.image, 50), "1K9G50K");
    spin.Step(-1);
    EXPECT_EQ(State(), std::tuple(1, 950, 999, 599.5, 1, 49, 3700, 100, 950));
    view.OnHScroll(kScrollThumbPosition, 250, kSpinId);  // beyond the last column
    EXPECT_EQ(State(), std::tuple(1, 950, 1049, 624.5, 1, 99, 3700, 100, 950));
    for (const QPoint p : {QPoint(-1, 5), QPoint(100, 5), QPoint(5, -1), QPoint(5, 60)}) Click(p.x(), p.y());  // outside
    view.OnHScroll(kScrollLineRight, 0, 1181);  // another control's scroll
    bar.setSliderPosition(bar.maximum());  // the thumb dragged one past the last useful left edge
    EXPECT_EQ(State(), std::tuple(1, 3600, 1049, 624.5, 1, 99, 3700, 100, 3600));
    EXPECT_EQ(Runs(view.image, 0), "54K6B");  // magnitude 1 fills 6 rows
    // Set-up, Scale and scrolling attach the scroll bar, cursor moves do not, the rest pushes nothing.
    EXPECT_EQ(attaches, (std::vector<bool>{true, false, true, true, true, true, true, false, false, true}));
    PlotFrame frame(view);
    frame.resize(100, 60);
    EXPECT_EQ(frame.grab().toImage().convertToFormat(QImage::Format_RGB32), view.image);
}

// At twice the pixels a tuner zooms onto the 600 Hz peak with the wheel, steps, drags, resizes,
// switches to dB and hovers: every column a pure colour, the names placed, the readout right.
TEST_F(SpectrumViewTest, SharpZoomedDraggedResizedInDecibels) {
    Start();
    table.AddPeak(600.0, 0.0, 8.0, 0.0, 0.0, 3), table.AddPeak(150.0, 0.0, 1.0, 0.0, 0.0, 0);  // nominal, hum
    table.AddPeak(590.0, 0.0, 1.0, 0.0, 0.0, 6);  // a quint on a low bar
    view.SetUp(*this, 100, 60, QRect(200, 150, 100, 60), 2.0);  // 200 x 120 physical pixels
    EXPECT_EQ(std::tuple(view.image.size(), view.image.devicePixelRatio(), spin.Upper()), std::tuple(QSize(200, 120), 2.0, 199));
    EXPECT_EQ(State(), std::tuple(19, 0, 0, 100, 2, 0, 3700, 3800, 0));
    Click(26);  // column 52 holds points 988 ... 1006
    EXPECT_EQ(Runs(view.image, 52), "1K9G110C");
    for (int x = 0; x < 200; ++x) EXPECT_EQ(Runs(view.image, x).find('?'), std::string::npos) << x;
    for (int step = 0; step < 5; ++step) view.ZoomAt(QPoint(226, 170), true);  // 10, 4, 1, 2 and 4 columns a point
    EXPECT_EQ(std::pair(view.pixelsPerPoint, ColumnFirstPoint(52, view.firstBin, 1, 4)), std::pair(4, 988));
    EXPECT_EQ(State(), std::tuple(1, 975, 1000, 600, 8, 100, 3700, 50, 975));
    EXPECT_EQ(Runs(view.image, 103), "1K9G110C") << "the cursor's point is four columns wide";
    view.MoveCursorBy(-1), view.DragTo(975, 10);  // one point left, then 20 columns = 5 points right
    EXPECT_EQ(State(), std::tuple(1, 970, 999, 599.5, 1, 96, 3700, 50, 970));
    view.Resize(150, 60, QRect(200, 150, 150, 60), 2.0);
    EXPECT_EQ(std::tuple(view.maxBinsPerPixel, spin.Upper(), bar.GetScrollInfo().page), std::tuple(12, 299, 75));
    view.SetDecibels(true);
    EXPECT_EQ(Runs(view.image, 8), "1K34W85B") << "-18.06 dB fills 85 of 110 rows";
    view.labelFont.setPixelSize(10), view.Draw();
    ASSERT_EQ(view.labels.size(), 2u) << "the hum is out of view";
    // Centred two rows above the quint's bar (top row 34 at column 42), beside the nominal's full one.
    EXPECT_EQ(std::tuple(view.labels[0].text, view.labels[0].rect.bottom(), view.labels[1].text, view.labels[1].rect.topLeft()),
              std::tuple("quint", 31, "nominal", QPoint(125, 1)));
    EXPECT_LE(std::abs(view.labels[0].rect.center().x() - 42), 1);
    CursorPick pick;
    ASSERT_TRUE(view.HoverAt(QPoint(204, 170), pick) && !view.HoverAt(QPoint(199, 170), pick) && pick.bestPoint == 972);
    EXPECT_EQ(view.ReadoutText(pick), "586 Hz  1  -18.1 dB  " + NoteName(586.0));
}

// Three names over one column: none is dropped or covers another; the first keeps its place, the others go
// up a row at a time with leader lines down to the column's bar.
TEST_F(SpectrumViewTest, CrowdedNamesStackWithLeaderLines) {
    Start();
    for (const auto& [hz, index] : {std::pair{300.0, 2}, {303.0, 6}, {306.0, 0}, {309.0, int{NoPartial}}}) {
        table.AddPeak(hz, 0.0, 1.0, 0.0, 0.0, static_cast<std::int16_t>(index));  // the last one has no name to show
    }
    view.labelFont.setPixelSize(10), view.Draw();
    const std::vector<PlotLabel>& l = view.labels;
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(std::tuple(l[0].text, l[0].leader, l[1].leader, l[2].leader), std::tuple("tierce", false, true, true));
    const int row = l[0].rect.height() + 2;
    EXPECT_EQ(std::pair(l[1].rect.top(), l[2].rect.top()), std::pair(l[0].rect.top() - row, l[0].rect.top() - 2 * row));
    for (const auto& [label, hz] : {std::pair{l[1], 303.0}, {l[2], 306.0}}) {
        EXPECT_EQ(label.leaderTo, QPoint(PointColumn(static_cast<int>((hz - 100.0) / 0.5), 0, view.binsPerPixel),
                                         l[0].rect.bottom() + 2)) << "just above the bar";
    }
}

TEST_F(SpectrumViewTest, NewBandsKeepTheCursorOnItsFrequency) {
    view.OnScale(), view.PlaceCursor(3), view.Draw();  // harmless before set-up
    view.SetUp(*this, 100, 60, QRect(200, 150, 100, 60));  // no spectrum yet
    EXPECT_EQ(std::pair(view.cursorAmplitude, view.verticalScale), std::pair(0.0, 10.0));
    Start();
    Click(27), view.OnScale(), view.OnScale();  // 600 Hz at 4 points a column
    std::vector<double> values(4001, 0.5);  // 500 ... 1500 Hz, 0.25 Hz apart, 3 at 600 Hz
    values[400] = 3.0;
    LoadSpectrum(spectrum, 500.0, 0.25, values);
    view.RefreshAfterAnalysis();
    EXPECT_EQ(std::pair(view.maxBinsPerPixel, view.verticalScale), std::pair(40, 50.0 / 3));
    EXPECT_EQ(State(), std::tuple(4, 200, 400, 600, 8, 50, 4000, 400, 200));  // amplitude not re-read
    LoadSpectrum(spectrum, 0.0, 1.0, std::vector<double>(31, 2.0));  // fewer points than columns
    view.RefreshAfterAnalysis();
    EXPECT_EQ(State(), std::tuple(1, 0, 600, 600, 8, 99, 30, 100, 0));
}

}  // namespace
