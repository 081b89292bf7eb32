// --plot's picture: the window's plot drawing on an image of the plot
// frame's size, the cursor on the nominal, written without any Qt
// application object.
#include "tools/spectrum_plot.h"

#include <gtest/gtest.h>

#include <QImage>

#include "../data/test_files.h"
#include "analysis/spectrum_analyser.h"
#include "partials/partial_table.h"
#include "ui/spectrum_render.h"
#include "ui/toolkit/dialog_units.h"

namespace {

TEST(SpectrumPlot, TheWindowsBarGraphWithTheCursorOnTheNominal) {
    EXPECT_EQ(DialogUnitsToPixels({135, 95, 375, 175}).size(), QSize(kPlotWidth, kPlotHeight))
        << "the main window's plot frame";
    // 0 ... 500 Hz at 0.5 Hz: two points per pixel column.
    SpectrumAnalyser engine;
    engine.Configure(1000, 0.0, 500.0, 0.5);
    engine.spectrum[200] = 4.0;   // 100 Hz, a partial
    engine.spectrum[400] = 8.0;   // 200 Hz, the nominal
    engine.spectrum[700] = 2.0;   // 350 Hz, no partial
    engine.FindMaximum();
    PartialTable table;
    table.AddPeak(100.0, 0, 4.0, 0, 0, 0);
    table.AddPeak(200.0, 0, 8.0, 0, 0, 3);
    table.nominal = 200.0;

    TemporaryFolder folder;
    ASSERT_TRUE(SaveSpectrumPlot(folder.File("plot.png"), engine, table));
    QImage plot(QString::fromStdString(folder.File("plot.png")));
    ASSERT_FALSE(plot.isNull());
    plot = plot.convertToFormat(QImage::Format_RGB32);
    const PlotWindow window{2, 0, 400, (kPlotHeight - 10) / 8.0};
    EXPECT_EQ(plot, RenderSpectrumImage(engine, table, window, kPlotWidth, kPlotHeight));

    const int bottom = kPlotHeight - 2;
    EXPECT_EQ(plot.pixelColor(200, bottom), QColor(0, 255, 255)) << "cursor column on a partial";
    EXPECT_EQ(plot.pixelColor(200, 2), QColor(0, 255, 0)) << "the cursor's line up to the top";
    EXPECT_EQ(plot.pixelColor(100, bottom), QColor(255, 0, 0)) << "a partial";
    EXPECT_EQ(plot.pixelColor(350, bottom), QColor(0, 0, 255)) << "an ordinary bar";
    EXPECT_EQ(plot.pixelColor(300, bottom), QColor(255, 255, 255));

    SpectrumAnalyser empty;
    EXPECT_FALSE(SaveSpectrumPlot(folder.File("none.png"), empty, table));
    EXPECT_FALSE(SaveSpectrumPlot(folder.File("no/such/folder.png"), engine, table));
}

}  // namespace
