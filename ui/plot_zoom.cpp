#include "ui/plot_zoom.h"

#include <algorithm>

#include "ui/spectrum_geometry.h"

namespace {

// The largest "Scale" step below `current` (at least 1).
int StepBelow(int current, int maxBinsPerPixel) {
    int below = 1;
    for (int step = 1; step < current && step < maxBinsPerPixel;
         step = NextBinsPerPixel(step, maxBinsPerPixel)) {
        below = step;
    }
    return below;
}

}  // namespace

PlotZoom WheelZoom(PlotZoom zoom, bool zoomIn, int maxBinsPerPixel) {
    const int maxBpp = std::max(1, maxBinsPerPixel);
    if (zoom.pixelsPerPoint > 1 || (zoomIn && zoom.binsPerPixel <= 1)) {
        const int ppp = zoomIn ? std::min(2 * zoom.pixelsPerPoint, kMaxPixelsPerPoint) : zoom.pixelsPerPoint / 2;
        return PlotZoom{1, std::max(ppp, 1)};
    }
    if (zoomIn) {
        return PlotZoom{StepBelow(zoom.binsPerPixel, maxBpp), 1};
    }
    if (zoom.binsPerPixel >= maxBpp) {
        return PlotZoom{maxBpp, 1};
    }
    return PlotZoom{NextBinsPerPixel(zoom.binsPerPixel, maxBpp), 1};
}

int FirstBinKeepingColumn(int column, int firstBin, PlotZoom before, PlotZoom after, int lastPoint,
                          int width) {
    const int point = ColumnFirstPoint(column, firstBin, before.binsPerPixel, before.pixelsPerPoint);
    const std::int64_t first = point - PointsAcross(column, after.binsPerPixel, after.pixelsPerPoint);
    const int maxFirst = MaxFirstBin(lastPoint, width, after.binsPerPixel, after.pixelsPerPoint);
    return static_cast<int>(std::clamp<std::int64_t>(first, 0, maxFirst));
}
