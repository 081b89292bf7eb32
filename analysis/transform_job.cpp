#include "analysis/transform_job.h"

#include <cmath>
#include <cstring>
#include <new>
#include <numbers>

#include "analysis/fft.h"

namespace {

constexpr std::int64_t kLargestTransform = std::int64_t{1} << 30;

struct Sizes {
    std::int32_t transformSize = 1;
    std::int32_t passCount = 0;
    double resampleStep = 0.0;
    std::int32_t pointCount = 0;
};

bool DeriveSizes(const AnalysisRequest& request, Sizes& sizes) {
    if (!(request.interval > 0.0) || request.sampleRate <= 0) return false;
    const double exact = request.sampleRate / request.interval;
    if (!(exact > 1.0) || !(exact <= static_cast<double>(kLargestTransform))) return false;
    std::int64_t n = 1;
    std::int32_t passes = 0;
    while (static_cast<double>(n) < exact) {
        n *= 2;
        ++passes;
    }
    sizes.transformSize = static_cast<std::int32_t>(n);
    sizes.passCount = passes;
    sizes.resampleStep = exact / static_cast<double>(n);
    const double span = static_cast<double>(request.lastSample - request.firstSample);
    const auto points = static_cast<std::int64_t>(span / sizes.resampleStep);
    sizes.pointCount = static_cast<std::int32_t>(points > n ? n : points);
    return true;
}

bool BandFits(const AnalysisRequest& request, std::int32_t transformSize) {
    if (!(request.startFrequency >= 0.0) || request.steps < 0) return false;
    const double firstBin = request.startFrequency / request.interval;
    if (!(firstBin < static_cast<double>(transformSize))) return false;
    return static_cast<std::int64_t>(firstBin) + request.steps < transformSize;
}

}  // namespace

bool PrepareTransformJob(TransformJob& job, const AnalysisRequest& request, const std::int16_t* samples,
                         std::int32_t sampleCount, double* destination) {
    Sizes sizes;
    if (destination == nullptr || request.firstSample < 0 || request.lastSample <= request.firstSample) return false;
    if (!DeriveSizes(request, sizes) || !BandFits(request, sizes.transformSize)) return false;
    const std::size_t doubles = 2 * static_cast<std::size_t>(sizes.transformSize);
    std::unique_ptr<double[]> buffer(new (std::nothrow) double[doubles]);
    if (!buffer) return false;
    // The real input occupies the lower N doubles only, so the upper half
    // holds the twiddle table and the transform needs no other memory.
    FillTwiddles(buffer.get() + sizes.transformSize, sizes.transformSize / 2);

    job.destination = destination;
    job.workBuffer = std::move(buffer);
    job.samples = sampleCount > 0 ? samples : nullptr;
    job.sampleCount = job.samples != nullptr ? sampleCount : 0;
    job.startFrequency = request.startFrequency;
    job.endFrequency = request.endFrequency;
    job.interval = request.interval;
    job.resampleStep = sizes.resampleStep;
    job.windowConstant = 0.54;
    job.steps = request.steps;
    job.pointCount = sizes.pointCount;
    job.firstSample = request.firstSample;
    job.lastSample = request.lastSample;
    job.sampleRate = request.sampleRate;
    job.transformSize = sizes.transformSize;
    job.passCount = sizes.passCount;
    job.passesDone.store(0, std::memory_order_relaxed);
    job.cancelRequested.store(0, std::memory_order_relaxed);
    job.done.store(0, std::memory_order_relaxed);
    return true;
}

void ResampleAndWindow(const TransformJob& job, double* out) {
    const std::int32_t count = job.pointCount;
    const std::int64_t available = static_cast<std::int64_t>(job.sampleCount) - job.firstSample;
    const std::int16_t* s = job.samples != nullptr ? job.samples + (available > 0 ? job.firstSample : 0) : nullptr;
    // Reads at or past the end of the array (a recording one sample short
    // of the stretch, or a sound shortened by the speed adjustment) give 0.
    auto sample = [s, available](std::int64_t k) { return k < available ? static_cast<double>(s[k]) : 0.0; };

    const double w = job.windowConstant;
    const double c = std::cos(2.0 * std::numbers::pi / count);
    const double twoC = 2.0 * c;
    const double offset = 2.0 * w * (1.0 - c);
    double previous = w + (w - 1.0) * c;             // W(-1)
    double beforePrevious = 1.0 + 2.0 * (w - 1.0) * (c * c);  // W(-2)
    for (std::int32_t i = 0; i < count; ++i) {
        const double x = i * job.resampleStep;
        const auto k = static_cast<std::int64_t>(x);
        const double left = sample(k);
        const double value = left + (sample(k + 1) - left) * (x - static_cast<double>(k));
        const double window = twoC * previous - beforePrevious + offset;
        beforePrevious = previous;
        previous = window;
        out[i] = value * window;
    }
    std::memset(out + count, 0, sizeof(double) * static_cast<std::size_t>(job.transformSize - count));
}

void WriteMagnitudes(const TransformJob& job, const double* transformed) {
    const auto firstBin = static_cast<std::int32_t>(job.startFrequency / job.interval);
    const double scale = 1.0 / (job.pointCount * job.windowConstant * 64.0);
    for (std::int32_t j = 0; j <= job.steps; ++j) {
        job.destination[j] = scale * RealFftMagnitude(transformed, job.transformSize, firstBin + j);
    }
}

void TransformWorker(TransformJob& job) {
    double* data = job.workBuffer.get();
    const std::int32_t n = job.transformSize;
    ResampleAndWindow(job, data);
    RealFft(data, n, +1, job.passesDone, job.cancelRequested, data + n);
    // Also after a cancel: the values are then meaningless, and the caller,
    // which set the flag, discards them.
    WriteMagnitudes(job, data);
    // Publication point: the whole spectrum is written before this store,
    // and the user-interface thread reads it only after loading done == 1.
    job.done.store(1, std::memory_order_release);
}
