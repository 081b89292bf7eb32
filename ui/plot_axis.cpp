#include "ui/plot_axis.h"

#include <algorithm>
#include <cmath>

#include "data/number_text.h"
#include "ui/spectrum_geometry.h"

double AxisStepHz(const AxisSpan& span, int minSpacingColumns) {
    const double hzPerColumn = span.interval * span.binsPerPixel / std::max(1, span.pixelsPerPoint);
    const double wanted = hzPerColumn * std::max(1, minSpacingColumns);
    if (!(wanted > 0.0) || !std::isfinite(wanted)) {
        return 1.0;
    }
    double decade = std::pow(10.0, std::floor(std::log10(wanted)));
    for (;; decade *= 10.0) {
        for (const double mantissa : {1.0, 2.0, 5.0}) {
            if (mantissa * decade >= wanted * (1.0 - 1e-12)) {
                return mantissa * decade;
            }
        }
    }
}

std::vector<AxisTick> AxisTicks(const AxisSpan& span, int minSpacingColumns) {
    std::vector<AxisTick> ticks;
    if (!(span.interval > 0.0) || span.width < 1) {
        return ticks;
    }
    const double step = AxisStepHz(span, minSpacingColumns);
    const int ppp = std::max(1, span.pixelsPerPoint);
    const double left = span.startFrequency + span.firstBin * span.interval;
    const double right = left + PointsAcross(span.width, span.binsPerPixel, ppp) * span.interval;
    for (double n = std::ceil(left / step); n * step <= right; n += 1.0) {
        const double frequency = n * step + 0.0;  // + 0.0 turns -0 into 0
        // A hair above the frequency, so a tick on a grid point is not put
        // on the point below it by rounding.
        const int point = PointAtFrequency(frequency + span.interval * 1e-9, span.startFrequency, span.interval);
        const int column = PointColumn(point, span.firstBin, span.binsPerPixel, ppp) + ppp / 2;
        if (point >= span.firstBin && column < span.width) {
            // Fifteen digits read 3 x 0.1 as "0.3".
            ticks.push_back({column, frequency, FormatDouble15(frequency)});
        }
    }
    return ticks;
}
