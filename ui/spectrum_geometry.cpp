#include "ui/spectrum_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Products of point counts can pass the int range for absurd inputs; work in
// 64 bits and saturate on the way back.
int SaturateToInt(std::int64_t value) {
    constexpr std::int64_t lo = std::numeric_limits<int>::min();
    constexpr std::int64_t hi = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(value, lo, hi));
}

double PointValue(const double* spectrum, int index) {
    return spectrum != nullptr ? spectrum[index] : 0.0;
}

}  // namespace

int TruncToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    if (value <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

std::int64_t PointsAcross(int columns, int binsPerPixel, int pixelsPerPoint) {
    return static_cast<std::int64_t>(columns) * binsPerPixel / std::max(1, pixelsPerPoint);
}

int MaxFirstBin(int lastPoint, int width, int binsPerPixel, int pixelsPerPoint) {
    const std::int64_t span = PointsAcross(width, binsPerPixel, pixelsPerPoint);
    return SaturateToInt(std::max<std::int64_t>(0, lastPoint - span));
}

int FitBinsPerPixel(int lastPoint, int width) {
    if (width < 1) {
        return 1;
    }
    const std::int64_t fit = (static_cast<std::int64_t>(width / 2) + lastPoint) / width;
    return SaturateToInt(std::max<std::int64_t>(1, fit));
}

double VerticalScale(double maxMagnitude, int height) {
    if (maxMagnitude == 0.0) {
        return 10.0;
    }
    return (height - 10) / maxMagnitude;
}

int NextBinsPerPixel(int current, int maxBinsPerPixel) {
    std::int64_t next;
    if (current >= maxBinsPerPixel || current < 1) {
        next = 1;
    } else if (current >= 100) {
        next = 2 * static_cast<std::int64_t>(current);
    } else if (current >= 40) {
        next = 100;
    } else if (current >= 10) {
        next = 40;
    } else if (current >= 4) {
        next = 10;
    } else {
        next = 4;
    }
    return SaturateToInt(std::min<std::int64_t>(next, std::max(1, maxBinsPerPixel)));
}

int PointAtFrequency(double frequency, double startFrequency, double interval) {
    return TruncToInt((frequency - startFrequency) / interval);
}

int CentredFirstBin(int k, int width, int binsPerPixel, int lastPoint, int pixelsPerPoint) {
    const std::int64_t halfSpan = PointsAcross(width, binsPerPixel, pixelsPerPoint) / 2;
    const std::int64_t first = static_cast<std::int64_t>(k) - halfSpan;
    const int maxFirst = MaxFirstBin(lastPoint, width, binsPerPixel, pixelsPerPoint);
    return SaturateToInt(std::clamp<std::int64_t>(first, 0, maxFirst));
}

int SnapToColumn(int k, int firstBin, int binsPerPixel) {
    const std::int64_t offset = static_cast<std::int64_t>(k) - firstBin;
    return SaturateToInt(firstBin + offset / binsPerPixel * binsPerPixel);
}

int ColumnFirstPoint(int column, int firstBin, int binsPerPixel, int pixelsPerPoint) {
    return SaturateToInt(PointsAcross(column, binsPerPixel, pixelsPerPoint) + firstBin);
}

int PointColumn(int k, int firstBin, int binsPerPixel, int pixelsPerPoint) {
    const std::int64_t offset = static_cast<std::int64_t>(k) - firstBin;
    return SaturateToInt(offset * std::max(1, pixelsPerPoint) / binsPerPixel);
}

int SpinPosition(int cursorBin, int firstBin, int binsPerPixel, int width, int pixelsPerPoint) {
    const int column = PointColumn(cursorBin, firstBin, binsPerPixel, pixelsPerPoint);
    return std::clamp(column, 0, std::max(0, width - 1));
}

double ColumnPeak(const double* spectrum, int lastPoint, int firstPoint, int binsPerPixel) {
    double peak = 0.0;
    if (firstPoint < 0) {
        return peak;
    }
    for (int j = 0; j < binsPerPixel && firstPoint <= lastPoint - j; ++j) {
        const double value = PointValue(spectrum, firstPoint + j);
        if (value > peak) {
            peak = value;
        }
    }
    return peak;
}

CursorPick PickCursor(const double* spectrum, int lastPoint, int column, int firstBin,
                      int binsPerPixel, int pixelsPerPoint) {
    CursorPick pick;
    pick.cursorBin = std::min(ColumnFirstPoint(column, firstBin, binsPerPixel, pixelsPerPoint), lastPoint);
    pick.bestPoint = pick.cursorBin;
    if (pick.cursorBin < 0) {
        return pick;
    }
    for (int j = 0; j < binsPerPixel && pick.cursorBin <= lastPoint - j; ++j) {
        const double value = PointValue(spectrum, pick.cursorBin + j);
        if (value > pick.amplitude) {
            pick.amplitude = value;
            pick.bestPoint = pick.cursorBin + j;
        }
    }
    return pick;
}

int ScrolledFirstBin(int code, int firstBin, int maxFirst, int thumbPosition) {
    switch (code) {
    case kScrollLineLeft:
        return firstBin >= kLineStepPoints ? firstBin - kLineStepPoints : 0;
    case kScrollLineRight:
        return firstBin < maxFirst - kLineStepPoints ? firstBin + kLineStepPoints : maxFirst;
    case kScrollPageLeft:
        return firstBin >= kPageStepPoints ? firstBin - kPageStepPoints : 0;
    case kScrollPageRight:
        return firstBin < maxFirst - kPageStepPoints ? firstBin + kPageStepPoints : maxFirst;
    case kScrollThumbPosition:
    case kScrollThumbTrack:
        return std::clamp(thumbPosition, 0, std::max(0, maxFirst));
    case kScrollLeft:
        return 0;
    case kScrollRight:
        return maxFirst;
    default:
        return firstBin;
    }
}

int BarTop(double peak, double verticalScale, int height) {
    const double limit = static_cast<double>(height) + 1.0;
    double pixels = peak * verticalScale;
    if (std::isnan(pixels)) {
        pixels = 0.0;
    }
    pixels = std::clamp(pixels, -limit, limit);
    return height - TruncToInt(pixels) - 1;
}

int DecibelBarTop(double peak, double maxMagnitude, int height) {
    if (!(peak > 0.0) || !(maxMagnitude > 0.0)) {
        return height - 1;
    }
    const double decibels = 20.0 * std::log10(peak / maxMagnitude);
    const double fraction = std::clamp((decibels + kDecibelFloor) / kDecibelFloor, 0.0, 2.0);
    return height - TruncToInt(fraction * (height - 10)) - 1;
}
