#include <algorithm>
#include <utility>
#include <vector>

#include "analysis/spectrum.h"

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

// Adds the terms of offsets k = from ... to - 1 to point j, with the edge
// fills where a neighbour lies outside the spectrum.
void AddTerms(const double* in, double* out, std::int32_t steps, const Kernel& kernel, std::int32_t j,
              std::int32_t from, std::int32_t to) {
    for (std::int32_t k = from; k < to; ++k) {
        const double left = j - k >= 0 ? in[j - k] : kernel.lowFill;
        const double right = j + k <= steps ? in[j + k] : kernel.highFill;
        out[j] += (left + right) * kernel.weights[k];
    }
}

// Offsets k ... k + 3 for the points of [first, last): inside the spectrum
// four terms are summed in a register per point before one store.
void AddFourOffsets(const double* in, double* out, std::int32_t steps, const Kernel& kernel, std::int32_t k,
                    std::int32_t first, std::int32_t last) {
    const double* g = kernel.weights;
    const std::int32_t innerFirst = std::min(last, std::max(first, k + 3));
    const std::int32_t innerLast = std::max(innerFirst, std::min(last, steps - k - 2));
    for (std::int32_t j = first; j < innerFirst; ++j) AddTerms(in, out, steps, kernel, j, k, k + 4);
    for (std::int32_t j = innerFirst; j < innerLast; ++j) {
        double sum = out[j];
        sum += (in[j - k] + in[j + k]) * g[k];
        sum += (in[j - k - 1] + in[j + k + 1]) * g[k + 1];
        sum += (in[j - k - 2] + in[j + k + 2]) * g[k + 2];
        sum += (in[j - k - 3] + in[j + k + 3]) * g[k + 3];
        out[j] = sum;
    }
    for (std::int32_t j = innerLast; j < last; ++j) AddTerms(in, out, steps, kernel, j, k, k + 4);
}

// smoothed[j] for j in [first, last). The loops over points and kernel
// offsets are interchanged (in groups of four offsets), but each point still
// gets its terms added one by one in the order k = 1, 2, ..., K - 1, so the
// sums are bit for bit those of the point-by-point form. A running sum
// would be faster still but turns exact zeros into rounding noise.
void SmoothChunk(const double* in, double* out, std::int32_t steps, const Kernel& kernel, std::int32_t first,
                 std::int32_t last) {
    for (std::int32_t j = first; j < last; ++j) out[j] = in[j] * kernel.weights[0];
    std::int32_t k = 1;
    for (; k + 4 <= kernel.half; k += 4) AddFourOffsets(in, out, steps, kernel, k, first, last);
    for (std::int32_t j = first; j < last; ++j) AddTerms(in, out, steps, kernel, j, k, kernel.half);
}

}  // namespace

bool Smooth(Spectrum& spectrum, std::int32_t sampleRate, std::int32_t stretchLength) {
    spectrum.smoothed.clear();
    const std::int32_t steps = spectrum.steps;
    if (!spectrum.Measured() || steps <= 0 || sampleRate <= 0 || stretchLength <= 0) return false;
    if (!(spectrum.interval > 0.0)) return false;
    const double ratio = (static_cast<double>(sampleRate) / stretchLength) / spectrum.interval;
    spectrum.resolutionRatio = ratio;
    const double width = ratio * 30.0 + 1.0;
    // Also keeps the conversion below in range: width > steps means 3K > steps.
    if (!(width <= static_cast<double>(steps))) return false;
    const auto half = static_cast<std::int32_t>(width);
    if (3 * static_cast<std::int64_t>(half) > steps) return false;

    double unit = 1.0 / (static_cast<double>(half) * half);
    if (ratio > 0.5) unit = unit / ratio / 2.0;
    std::vector<double> weights(static_cast<std::size_t>(half) + 1);
    for (std::int32_t k = 0; k <= half; ++k) {
        const double distance = half - k;
        weights[static_cast<std::size_t>(k)] = distance * distance * unit;
    }
    const double* in = spectrum.magnitudes.data();
    double lowSum = 0.0;
    double highSum = 0.0;
    for (std::int32_t k = 0; k < half; ++k) lowSum += in[k];
    for (std::int32_t k = steps - half + 1; k <= steps; ++k) highSum += in[k];
    const Kernel kernel{weights.data(), half, lowSum / half, highSum / half};

    std::vector<double> out(spectrum.magnitudes.size());
    for (std::int32_t first = 0; first <= steps; first += kChunk) {
        const std::int32_t last = first + std::min(kChunk, steps + 1 - first);
        SmoothChunk(in, out.data(), steps, kernel, first, last);
    }
    spectrum.smoothed = std::move(out);
    return true;
}
