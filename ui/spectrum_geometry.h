#pragma once
#include <cstdint>

// The arithmetic of the spectrum plot: which spectrum points a pixel column
// shows, where the cursor lands, how the compression steps and how far the
// scroll bar pans. Plain C++ (no Qt, no drawing), used on the
// user-interface thread by the view and the renderer and called directly by
// tests.
//
// Names: L is the last spectrum point index (the spectrum's `steps`; points
// 0 ... L exist), W and H the plot's width and height in pixels, bpp the
// points folded into one pixel column (binsPerPixel, >= 1). A null spectrum
// pointer reads as all zeros, so nothing here dereferences a missing array.

// Notification codes of a horizontal scroll (the window's WM_HSCROLL codes).
enum ScrollCode : int {
    kScrollLineLeft = 0,
    kScrollLineRight = 1,
    kScrollPageLeft = 2,
    kScrollPageRight = 3,
    kScrollThumbPosition = 4,
    kScrollThumbTrack = 5,
    kScrollLeft = 6,
    kScrollRight = 7,
    kScrollEnd = 8,
};

// Control ids of the plot row that report horizontal scrolls.
inline constexpr int kScrollBarId = 1008;
inline constexpr int kSpinId = 1009;

// Spectrum points one line or page step of the scroll bar moves, whatever
// the compression.
inline constexpr int kLineStepPoints = 20;
inline constexpr int kPageStepPoints = 200;

// A rectangle in pixels with exclusive right and bottom edges.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    // Left and top inclusive, right and bottom exclusive.
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Truncates toward zero into an int; values beyond the int range saturate
// and NaN gives 0, so no conversion is undefined.
int TruncToInt(double value);

// Magnification: below one point per column each point is drawn
// `pixelsPerPoint` (ppp, >= 1) columns wide. ppp > 1 only ever goes with
// bpp = 1; every function below that takes it treats ppp = 1 exactly as the
// plain compression.

// The spectrum points `columns` pixel columns span: trunc(columns x bpp / ppp).
std::int64_t PointsAcross(int columns, int binsPerPixel, int pixelsPerPoint = 1);

// The last useful left edge, max(0, L - W x bpp / ppp).
int MaxFirstBin(int lastPoint, int width, int binsPerPixel, int pixelsPerPoint = 1);

// The compression at which the whole spectrum fits: (trunc(W / 2) + L) / W
// in integer division, at least 1 (also for W < 1).
int FitBinsPerPixel(int lastPoint, int width);

// Pixels per unit of magnitude: (H - 10) / maxMagnitude, or 10.0 when
// maxMagnitude is exactly 0.0.
double VerticalScale(double maxMagnitude, int height);

// The compression after one press of "Scale": 1, 4, 10, 40, 100, 200, 400,
// ... (doubling from 100), never above maxBinsPerPixel, and back to 1 once
// maxBinsPerPixel has been reached (or when current < 1).
int NextBinsPerPixel(int current, int maxBinsPerPixel);

// Index of the point at or below a frequency: trunc((frequency -
// startFrequency) / interval), saturated into int. interval must be > 0.
int PointAtFrequency(double frequency, double startFrequency, double interval);

// The left edge that puts point k in the middle of the plot:
// k - trunc(W x bpp / ppp / 2), clamped to 0 ... maxFirst.
int CentredFirstBin(int k, int width, int binsPerPixel, int lastPoint, int pixelsPerPoint = 1);

// The first point of the column that holds point k:
// firstBin + trunc((k - firstBin) / bpp) x bpp.
int SnapToColumn(int k, int firstBin, int binsPerPixel);

// First spectrum point of pixel column n: trunc(n x bpp / ppp) + firstBin.
int ColumnFirstPoint(int column, int firstBin, int binsPerPixel, int pixelsPerPoint = 1);

// The first pixel column showing point k: trunc((k - firstBin) x ppp / bpp)
// (negative left of the plot).
int PointColumn(int k, int firstBin, int binsPerPixel, int pixelsPerPoint = 1);

// The spin control's position for the cursor: the column of cursorBin,
// clamped to the spin's range 0 ... W - 1.
int SpinPosition(int cursorBin, int firstBin, int binsPerPixel, int width, int pixelsPerPoint = 1);

// Largest magnitude of points s ... s + bpp - 1 that exist (<= L); 0.0 when
// none does or none is above 0 (NaN never counts).
double ColumnPeak(const double* spectrum, int lastPoint, int firstPoint, int binsPerPixel);

// Where a click on pixel column n puts the cursor.
struct CursorPick {
    int cursorBin = 0;        // first point of the column, at most L
    int bestPoint = 0;        // the column's strongest point, lowest index on ties
    double amplitude = 0.0;   // its magnitude; 0.0 when no point is above 0
};

// cursorBin = min(n x bpp + firstBin, L); the strongest point among
// cursorBin ... cursorBin + bpp - 1 (<= L), the lowest on ties; when none is
// above 0 the best point is cursorBin itself with amplitude 0.0.
CursorPick PickCursor(const double* spectrum, int lastPoint, int column, int firstBin,
                      int binsPerPixel, int pixelsPerPoint = 1);

// The new left edge after a scroll-bar notification: line steps of 20 and
// page steps of 200 points that stop exactly at 0 and at maxFirst, the
// thumb position for kScrollThumbPosition and kScrollThumbTrack (clamped
// to 0 ... maxFirst), 0 / maxFirst for kScrollLeft / kScrollRight, and
// firstBin unchanged for any other code.
int ScrolledFirstBin(int code, int firstBin, int maxFirst, int thumbPosition);

// y of the top end of a bar: H - trunc(peak x verticalScale) - 1. Bar
// heights beyond the plot are cut to H + 1 so that no conversion overflows;
// the result thus lies in -2 ... H - 1 for non-negative peaks.
int BarTop(double peak, double verticalScale, int height);

// Range of the decibel scale: bars run from the largest magnitude down to
// this many dB below it.
inline constexpr double kDecibelFloor = 80.0;

// y of the top end of a bar on the decibel scale: the bar's height is
// (H - 10) x (dB + 80) / 80 with dB = 20 log10(peak / maxMagnitude), so
// the largest magnitude reaches row 9 like the linear scale and anything 80
// dB or more below it (or not above 0) draws no bar: H - 1.
int DecibelBarTop(double peak, double maxMagnitude, int height);
