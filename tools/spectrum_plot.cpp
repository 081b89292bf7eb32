#include "tools/spectrum_plot.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <string_view>

#include "analysis/spectrum_analyser.h"
#include "data/safe_save.h"
#include "partials/partial_table.h"
#include "ui/spectrum_geometry.h"
#include "ui/spectrum_render.h"

namespace {

// What the window shows after an analysis at full compression: the plot
// centred on the cursor, here put on the nominal.
PlotWindow NominalWindow(const SpectrumAnalyser& engine, const PartialTable& table) {
    PlotWindow window;
    window.binsPerPixel = FitBinsPerPixel(engine.steps, kPlotWidth);
    int point = 0;
    if (table.nominal > engine.startFrequency && table.nominal <= engine.endFrequency && engine.interval > 0.0) {
        point = PointAtFrequency(table.nominal, engine.startFrequency, engine.interval);
    }
    window.firstBin = CentredFirstBin(point, kPlotWidth, window.binsPerPixel, engine.steps);
    window.cursorBin = SnapToColumn(point, window.firstBin, window.binsPerPixel);
    window.verticalScale = VerticalScale(engine.maxMagnitude, kPlotHeight);
    return window;
}

}  // namespace

bool SaveSpectrumPlot(const std::string& path, const SpectrumAnalyser& engine,
                      const PartialTable& table) {
    if (!engine.spectrum || engine.steps < 0) return false;
    const QImage image =
        RenderSpectrumImage(engine, table, NominalWindow(engine, table), kPlotWidth, kPlotHeight);
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return false;
    return SaveBytesSafely(path, std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
}

extern "C" __attribute__((visibility("default"))) bool CampanorSaveSpectrumPlot(
    const char* path, const SpectrumAnalyser* engine, const PartialTable* table) {
    return path != nullptr && engine != nullptr && table != nullptr &&
           SaveSpectrumPlot(path, *engine, *table);
}
