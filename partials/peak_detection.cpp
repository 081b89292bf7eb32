#include <cstdint>

#include "analysis/spectrum.h"
#include "partials/partial_table.h"

namespace {

constexpr double kSharpnessLimit = 1.77;  // (sum of 2W around) / (W x peak); 1.77 = 2 x 0.885
constexpr double kFloorFraction = 0.015;  // of the spectrum's maximum

// W = trunc(resolutionRatio x 15 + 1) when it is at least 1 and 3W fits
// within `steps`; otherwise 0, meaning the spectrum is too short (or the
// ratio unusable) for the detector.
std::int32_t WindowWidth(double resolutionRatio, std::int32_t steps) {
    const double width = resolutionRatio * 15.0 + 1.0;
    // Compare as doubles first so that the conversion below is always in
    // range; this also refuses NaN.
    if (!(width >= 1.0) || !(width < 2147483647.0)) {
        return 0;
    }
    const auto w = static_cast<std::int64_t>(width);
    if (static_cast<std::int64_t>(steps) < 3 * w) {
        return 0;
    }
    return static_cast<std::int32_t>(w);
}

// Strongest raw value among sp[first ... last], counting only values above
// 0, lowest index on ties; -1 when none is above 0.
std::int32_t RawMaximum(const double* sp, std::int32_t first, std::int32_t last) {
    std::int32_t best = -1;
    double value = 0.0;
    for (std::int32_t k = first; k <= last; ++k) {
        if (sp[k] > value) {
            value = sp[k];
            best = k;
        }
    }
    return best;
}

}  // namespace

bool PartialTable::DetectPeaks(const Spectrum& spectrum) {
    const std::int32_t steps = spectrum.steps;
    if (!spectrum.Smoothed()) {
        return false;
    }
    const std::int32_t w = WindowWidth(spectrum.resolutionRatio, steps);
    if (w == 0) {
        return false;
    }
    Clear();
    const double* sm = spectrum.smoothed.data();
    const double* sp = spectrum.magnitudes.data();
    double low = 0.0;
    double high = 0.0;
    for (std::int32_t i = 0; i < w; ++i) {
        low += sm[i];
        high += sm[w + i];
    }
    bool rising = false;
    // low sums sm[j - W ... j - 1], high sums sm[j ... j + W - 1]; the turn
    // from rising to not rising marks a maximum of the smoothed curve at j - 1.
    for (std::int32_t j = w; j <= steps - w; ++j) {
        if (high > low) {
            rising = true;
        } else if (rising) {
            rising = false;
            const double top = sm[j - 1];
            if (top != 0.0 && (low + high) / top / w < kSharpnessLimit) {
                const std::int32_t k = RawMaximum(sp, j - w, j + w);
                if (k >= 0 && sp[k] > kFloorFraction * spectrum.maxMagnitude) {
                    AddPeak(spectrum.startFrequency + k * spectrum.interval, 0.0, sp[k], 0.0, 0.0,
                            NoPartial);
                }
            }
        }
        low += sm[j] - sm[j - w];
        high += sm[j + w] - sm[j];
    }
    return true;
}
