#pragma once
#include <cstdint>

// Zooming the spectrum plot with the mouse wheel: the same compressions as
// "Scale" (1, 4, 10, 40, 100, 200, 400, ... up to the one that fits the
// whole spectrum) and, beyond one point per column, magnification, where
// each point is drawn several columns wide. Plain arithmetic, called by the
// view on the user-interface thread and directly by tests.

// Widest a point is ever drawn, in pixel columns.
inline constexpr int kMaxPixelsPerPoint = 32;

// A zoom: `binsPerPixel` points folded into a column, or, when
// `pixelsPerPoint` > 1 (then binsPerPixel is 1), each point that many
// columns wide.
struct PlotZoom {
    int binsPerPixel = 1;
    int pixelsPerPoint = 1;
    bool operator==(const PlotZoom&) const = default;
};

// One wheel step in (`zoomIn`) or out from `zoom`, never beyond
// kMaxPixelsPerPoint nor beyond maxBinsPerPixel: in from 1 point a column
// doubles the magnification, in from bpp takes the largest "Scale" step
// below it, out halves the magnification or takes the next "Scale" step
// (maxBinsPerPixel itself being the last). A zoom already at its end is
// returned unchanged.
PlotZoom WheelZoom(PlotZoom zoom, bool zoomIn, int maxBinsPerPixel);

// The left edge after a zoom that keeps the point under `column` where it
// is: the point ColumnFirstPoint(column) shows before stays the first
// point of that column after, as far as 0 ... maxFirst allows.
int FirstBinKeepingColumn(int column, int firstBin, PlotZoom before, PlotZoom after, int lastPoint,
                          int width);
