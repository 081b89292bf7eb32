#include "tools/spectrum_plot.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <string_view>

#include "analysis/spectrum.h"
#include "data/safe_save.h"
#include "partials/partial_table.h"
#include "ui/spectrum_geometry.h"
#include "ui/spectrum_render.h"

namespace {

// What the window shows after an analysis at full compression: the plot
// centred on the cursor, here put on the nominal.
PlotWindow NominalWindow(const Spectrum& spectrum, const PartialTable& table) {
    PlotWindow window;
    window.binsPerPixel = FitBinsPerPixel(spectrum.steps, kPlotWidth);
    int point = 0;
    if (table.nominal > spectrum.startFrequency && table.nominal <= spectrum.endFrequency &&
        spectrum.interval > 0.0) {
        point = PointAtFrequency(table.nominal, spectrum.startFrequency, spectrum.interval);
    }
    window.firstBin = CentredFirstBin(point, kPlotWidth, window.binsPerPixel, spectrum.steps);
    window.cursorBin = SnapToColumn(point, window.firstBin, window.binsPerPixel);
    window.verticalScale = VerticalScale(spectrum.maxMagnitude, kPlotHeight);
    return window;
}

}  // namespace

bool SaveSpectrumPlot(const std::string& path, const Spectrum& spectrum,
                      const PartialTable& table) {
    if (!spectrum.Measured()) return false;
    const QImage image =
        RenderSpectrumImage(spectrum, table, NominalWindow(spectrum, table), kPlotWidth, kPlotHeight);
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return false;
    return SaveBytesSafely(path, std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
}

extern "C" __attribute__((visibility("default"))) bool CampanorSaveSpectrumPlot(
    const char* path, const Spectrum* spectrum, const PartialTable* table) {
    return path != nullptr && spectrum != nullptr && table != nullptr &&
           SaveSpectrumPlot(path, *spectrum, *table);
}
