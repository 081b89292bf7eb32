// The arithmetic of the decay plot and the spectrogram at known sizes, and the spectrogram drawn from a
// spectrogram made by hand.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "analysis/spectrogram.h"
#include "tuning/decay_curves.h"
#include "ui/decay_geometry.h"
#include "ui/spectrogram_geometry.h"
#include "ui/spectrogram_render.h"

namespace {

// 4096-sample frames at 44100 Hz (bins of 10.77 Hz) hopped by 512, the first `bins` bins, all at `db`.
Spectrogram Flat(int frames, int bins, float db) {
    Spectrogram s;
    s.rateHz = 44100.0, s.frameSamples = 4096, s.hopSamples = 512, s.frames = frames, s.bins = bins;
    s.lengthSamples = (frames - 1) * 512 + 4096;
    s.levelsDb.assign(static_cast<std::size_t>(frames * bins), db);
    s.maxDb = db;
    return s;
}

TEST(SpectrogramGeometry, ColumnsRowsFramesAndColours) {
    // 1000 columns over 2 s: 2 ms a column, each column's centre back in its own column.
    EXPECT_EQ(SecondsColumn(0.5, 1000, 2.0), 250);
    EXPECT_DOUBLE_EQ(ColumnSeconds(250, 1000, 2.0), 0.501);
    for (int x = 0; x < 1000; ++x) ASSERT_EQ(SecondsColumn(ColumnSeconds(x, 1000, 2.0), 1000, 2.0), x);
    EXPECT_EQ(SecondsColumn(1.0, 1000, 0.0), -1);
    // 500 rows over 0 ... 5000 Hz, 10 Hz a row, the top row the highest.
    EXPECT_EQ(FrequencyRow(5000.0, 0.0, 5000.0, 500), 0);
    EXPECT_EQ(FrequencyRow(2500.0, 0.0, 5000.0, 500), 250);
    EXPECT_EQ(FrequencyRow(2495.0, 0.0, 5000.0, 500), 250);
    EXPECT_EQ(FrequencyRow(6000.0, 1000.0, 5000.0, 400), -100);
    EXPECT_DOUBLE_EQ(RowFrequency(250, 0.0, 5000.0, 500), 2495.0);
    for (int y = 0; y < 500; ++y) ASSERT_EQ(FrequencyRow(RowFrequency(y, 200.0, 900.0, 500), 200.0, 900.0, 500), y);
    // Frame f is centred on (512 f + 2048) / 44100 s.
    const Spectrogram s = Flat(100, 465, -20.0f);
    EXPECT_EQ(FrameAtSeconds(s, (512.0 * 37 + 2048.0) / 44100.0), 37);
    EXPECT_EQ(FrameAtSeconds(s, (512.0 * 37.4 + 2048.0) / 44100.0), 37);
    EXPECT_EQ(std::pair(FrameAtSeconds(s, 0.0), FrameAtSeconds(s, 99.0)), std::pair(0, 99));

    // Rows of 10 Hz, finer than the bins: each shows the one bin nearest it, the bins falling as the rows go
    // down. Rows of 100 Hz tile the bins without gap or overlap. Rows beyond the bins show none.
    for (int y = 0; y < 500; ++y) {
        const BinSpan span = RowBins(s, y, 0.0, 5000.0, 500);
        ASSERT_EQ(span.first, span.last) << y;
        EXPECT_NEAR(span.first * s.BinHz(), 5000.0 - 10.0 * y - 5.0, s.BinHz() / 2.0 + 1e-9) << y;
    }
    for (int y = 0; y + 1 < 50; ++y) {
        const BinSpan upper = RowBins(s, y, 0.0, 5000.0, 50), lower = RowBins(s, y + 1, 0.0, 5000.0, 50);
        ASSERT_EQ(lower.last + 1, upper.first) << y;
    }
    const BinSpan beyond = RowBins(s, 0, 6000.0, 7000.0, 10);
    EXPECT_GT(beyond.first, beyond.last);

    // dB to colour: 80 dB below the maximum and less is 0, the maximum 255, halfway 127.
    EXPECT_EQ(LevelColourIndex(-20.0f, -20.0f, 80.0f), 255);
    EXPECT_EQ(LevelColourIndex(-60.0f, -20.0f, 80.0f), 127);
    EXPECT_EQ(LevelColourIndex(-100.0f, -20.0f, 80.0f), 0);
    EXPECT_EQ(LevelColourIndex(kSilenceDb, -20.0f, 80.0f), 0);
    // The map is perceptual: its lightness rises all the way (8-bit rounding aside) and steadily, from viridis'
    // dark violet to its yellow; a rainbow map's falls from yellow to red.
    const auto luminance = [](std::uint32_t c) { return 0.2126 * qRed(c) + 0.7152 * qGreen(c) + 0.0722 * qBlue(c); };
    for (int i = 1; i < 256; ++i) ASSERT_GT(luminance(SpectrogramColour(i)), luminance(SpectrogramColour(i - 1)) - 0.5) << i;
    for (int i = 0; i + 32 < 256; ++i) ASSERT_GT(luminance(SpectrogramColour(i + 32)), luminance(SpectrogramColour(i)) + 15.0) << i;
    const QRgb first = SpectrogramColour(0), last = SpectrogramColour(255);
    EXPECT_TRUE(std::abs(qRed(first) - 68) <= 5 && std::abs(qBlue(first) - 84) <= 5) << std::hex << first;
    EXPECT_TRUE(std::abs(qRed(last) - 253) <= 5 && std::abs(qGreen(last) - 231) <= 5) << std::hex << last;
}

TEST(SpectrogramRender, PixelsFromTheirFramesAndBinsWithTheMarks) {
    // Three frames centred at 0.046, 0.058 and 0.070 s (the last ending at 0.116 s) of 4 bins: bin 2 of frame 1
    // at the maximum, the rest 80 dB down; drawn over 0.3 s on 30 columns (10 ms each) and 4 rows centred on
    // the bins (row 1 on bin 2).
    Spectrogram s = Flat(3, 4, -100.0f);
    s.levelsDb[2 * 3 + 1] = -20.0f;
    s.maxDb = -20.0f;
    QImage image(30, 4, QImage::Format_RGB32);
    SpectrogramMarks marks;
    marks.secondStrikeSeconds = 0.25;
    RenderSpectrogram(image, s, ColourIndices(s), {-0.5 * s.BinHz(), 3.5 * s.BinHz(), 0.3}, marks);
    const QRgb dark = SpectrogramColour(0), bright = SpectrogramColour(255);
    // Only column 5 (0.055 s) lies nearest frame 1.
    EXPECT_EQ(image.pixel(5, 1), bright);
    EXPECT_EQ(image.pixel(4, 1), dark);
    EXPECT_EQ(image.pixel(6, 1), dark);
    EXPECT_EQ(image.pixel(5, 0), dark);
    EXPECT_EQ(image.pixel(5, 2), dark);
    // Past the recording's end nothing; the second strike's orange line at column 25.
    EXPECT_EQ(image.pixel(12, 0), dark);
    EXPECT_GT(qRed(image.pixel(25, 0)), 200);
    EXPECT_EQ(image.pixel(24, 0), dark);
}

TEST(DecayGeometry, AxesTicksAndPlaces) {
    DecayCurve loud, quiet;
    loud.timesSeconds = {0.1, 1.0, 2.4}, loud.levelsDb = {-12.3, -20.0, -30.0}, loud.noiseDb = -61.0;
    quiet.timesSeconds = {0.1, 3.2}, quiet.levelsDb = {-40.0, -70.0}, quiet.noiseDb = -200.0;
    const DecayAxes one = FitDecayAxes({&loud});
    EXPECT_EQ(std::tuple(one.fromSeconds, one.toSeconds, one.topDb, one.bottomDb), std::tuple(0.0, 2.4, -10.0, -80.0));
    const DecayAxes both = FitDecayAxes({&loud, &quiet});  // the floor kept 100 dB below the top
    EXPECT_EQ(std::tuple(both.toSeconds, both.topDb, both.bottomDb), std::tuple(3.2, -10.0, -110.0));
    loud.noiseDb = -20.0;  // and never closer than 40 dB
    EXPECT_EQ(FitDecayAxes({&loud}).bottomDb, -50.0);
    EXPECT_EQ(FitDecayAxes({}).bottomDb, -80.0);
    // 0 ... 2.4 s across 480 px from x = 20, -10 ... -80 dB down 700 px from y = 5.
    EXPECT_DOUBLE_EQ(SecondsX(1.2, one, 20.0, 480.0), 260.0);
    EXPECT_DOUBLE_EQ(DbY(-10.0, one, 5.0, 700.0), 5.0);
    EXPECT_DOUBLE_EQ(DbY(-45.0, one, 5.0, 700.0), 355.0);
    EXPECT_EQ(RoundTicks(0.0, 2.4, 6), (std::vector<double>{0.0, 0.5, 1.0, 1.5, 2.0}));
    EXPECT_EQ(RoundTicks(-110.0, -10.0, 6), (std::vector<double>{-100.0, -80.0, -60.0, -40.0, -20.0}));
    EXPECT_EQ(RoundTicks(0.0, 20.0, 10), (std::vector<double>{0.0, 5.0, 10.0, 15.0, 20.0}));
    EXPECT_TRUE(RoundTicks(1.0, 1.0, 5).empty());
    EXPECT_EQ(std::tuple(TickDecimals(RoundTicks(0.0, 2.4, 6)), TickDecimals(RoundTicks(0.0, 2.0, 41)),
                         TickDecimals(RoundTicks(0.0, 100.0, 5)), TickDecimals({1.0})),
              std::tuple(1, 2, 0, 0));
}

}  // namespace
