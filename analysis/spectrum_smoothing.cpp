#include <algorithm>
#include <memory>
#include <new>

#include "analysis/spectrum_analyser.h"

namespace {

// Points smoothed together; their slice of both arrays stays in cache while
// every kernel offset is added.
constexpr std::int32_t kChunk = 2048;

struct Kernel {
    const double* weights;  // g[0 ... K]
    std::int32_t half;      // K
    double lowFill;
    double highFill;
};

// smoothed[j] for j in [first, last): the loops over points and kernel
// offsets are interchanged, but each point still gets its terms added in
// the order k = 1, 2, ..., K - 1, so the sums are bit for bit those of the
// point-by-point form.
void SmoothChunk(const double* in, double* out, std::int32_t steps, const Kernel& kernel, std::int32_t first,
                 std::int32_t last) {
    const double* g = kernel.weights;
    for (std::int32_t j = first; j < last; ++j) out[j] = in[j] * g[0];
    for (std::int32_t k = 1; k < kernel.half; ++k) {
        const double gk = g[k];
        const std::int32_t lowEnd = std::min(last, k);                  // j - k < 0 below
        const std::int32_t highStart = std::max(first, steps - k + 1);  // j + k > steps from here
        std::int32_t j = first;
        for (; j < lowEnd; ++j) out[j] += (kernel.lowFill + in[j + k]) * gk;
        for (; j < highStart && j < last; ++j) out[j] += (in[j - k] + in[j + k]) * gk;
        for (; j < last; ++j) out[j] += (in[j - k] + kernel.highFill) * gk;
    }
}

}  // namespace

void SpectrumAnalyser::FindMaximum() {
    maxMagnitude = 0.0;
    if (!spectrum) return;
    for (std::int32_t i = 0; i <= steps; ++i) {
        if (spectrum[i] > maxMagnitude) maxMagnitude = spectrum[i];
    }
}

bool SpectrumAnalyser::Smooth(std::int32_t sampleRate, std::int32_t stretchLength) {
    if (!spectrum || !smoothedSpectrum || steps <= 0 || sampleRate <= 0 || stretchLength <= 0) return false;
    if (!(interval > 0.0)) return false;
    const double ratio = (static_cast<double>(sampleRate) / stretchLength) / interval;
    resolutionRatio = ratio;
    const double width = ratio * 30.0 + 1.0;
    // Also keeps the conversion below in range: width > steps means 3K > steps.
    if (!(width <= static_cast<double>(steps))) return false;
    const auto half = static_cast<std::int32_t>(width);
    if (3 * static_cast<std::int64_t>(half) > steps) return false;

    double unit = 1.0 / (static_cast<double>(half) * half);
    if (ratio > 0.5) unit = unit / ratio / 2.0;
    std::unique_ptr<double[]> weights(new (std::nothrow) double[static_cast<std::size_t>(half) + 1]);
    if (!weights) return false;
    for (std::int32_t k = 0; k <= half; ++k) {
        const double distance = half - k;
        weights[k] = distance * distance * unit;
    }
    double lowSum = 0.0;
    double highSum = 0.0;
    for (std::int32_t k = 0; k < half; ++k) lowSum += spectrum[k];
    for (std::int32_t k = steps - half + 1; k <= steps; ++k) highSum += spectrum[k];
    const Kernel kernel{weights.get(), half, lowSum / half, highSum / half};

    for (std::int32_t first = 0; first <= steps; first += kChunk) {
        const std::int32_t last = first + std::min(kChunk, steps + 1 - first);
        SmoothChunk(spectrum.get(), smoothedSpectrum.get(), steps, kernel, first, last);
    }
    return true;
}
