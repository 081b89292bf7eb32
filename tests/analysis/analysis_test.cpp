#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <thread>
#include <tuple>

#include "analysis/fft.h"
#include "analysis/transform_job.h"
#include "tests/analysis/reference.h"

// Counts every allocation (all forms, as the sanitizer runtimes bring their own): see RunWorker.
static std::atomic<std::size_t> allocations{0}, allocatedBytes{0};
static void* Counted(std::size_t size) { return ++allocations, allocatedBytes += size, std::malloc(size ? size : 1); }
void* operator new(std::size_t size) { void* block = Counted(size); return block ? block : (std::abort(), nullptr); }
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Counted(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Counted(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace {

std::vector<std::int16_t> Noise(std::int32_t count, std::mt19937 random = std::mt19937(1)) {  // fills every bin
    std::vector<std::int16_t> out(count);
    for (std::int16_t& sample : out) sample = static_cast<std::int16_t>(static_cast<int>(random() % 20001) - 10000);
    return out;
}

AnalysisRequest Request(double interval, double startHz, std::int32_t steps, std::int32_t first = 0,
                        std::int32_t last = 88200, std::int32_t sampleRate = 44100) {
    return {startHz, startHz + steps * interval, interval, steps, first, last, sampleRate, last, ""};
}

// Prepares and runs one transform on this thread: the job may allocate its work buffer only, the worker nothing.
std::vector<double> RunWorker(const AnalysisRequest& request, const std::vector<std::int16_t>& sound,
                              TransformJob& job) {
    std::vector<double> spectrum(request.steps + 1, -1.0);
    const std::size_t bytes = allocatedBytes;
    EXPECT_TRUE(PrepareTransformJob(job, request, sound.data(), std::ssize(sound), spectrum.data()));
    EXPECT_EQ(allocatedBytes - bytes, 16 * static_cast<std::size_t>(job.transformSize));  // data, then twiddles
    const std::size_t count = allocations;
    TransformWorker(job);
    EXPECT_EQ(std::tuple(allocations.load(), job.passesDone.load(), job.done.load()),
              std::tuple(count, job.passCount, std::uint8_t{1}));
    return spectrum;
}

TEST(Fft, ComplexAndRealTransformsMatchTheLongDoubleDft) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    for (std::int32_t n = 2, log = 1; n <= 2048; n *= 2, ++log) {
        const int sign = log % 2 == 0 ? -1 : +1;  // both directions, alternately
        std::vector<std::complex<double>> complex(n), real(n);
        std::vector<double> table(n), packed(n);
        std::vector<std::int64_t> bins(n);
        for (std::int32_t m = 0; m < n; ++m) {
            complex[m] = {value(random), value(random)}, real[m] = packed[m] = value(random), bins[m] = m;
        }
        std::vector<std::complex<double>> fast = complex;
        std::atomic<std::int32_t> passes{0};
        std::atomic<std::uint8_t> cancel{0};
        FillTwiddles(table.data(), n / 2);
        ComplexFft(reinterpret_cast<double*>(fast.data()), n, sign, passes, cancel, table.data());
        RealFft(packed.data(), n, sign, passes, cancel, table.data());
        EXPECT_EQ(passes, 2 * log);  // log2 n passes each
        const auto c = Dft(complex, n, bins, sign), r = Dft(real, n, bins, sign);
        const double e = 1e-14 * n;
        for (std::int32_t k = 0; k < n; ++k) {
            ASSERT_NEAR(double(std::abs(c[k] - std::complex<long double>(fast[k]))), 0, e) << n << " " << k;
            ASSERT_NEAR(RealFftMagnitude(packed.data(), n, k), double(std::abs(r[k])), e) << n << " " << k;
            // Packed: X[0] and the real X[n/2] side by side, then the X[k] between as real and imaginary part.
            if (k > n / 2) continue;
            ASSERT_NEAR(packed[k == n / 2 ? 1 : 2 * k], double(r[k].real()), e) << n << " " << k;
            if (k > 0 && k < n / 2) { ASSERT_NEAR(packed[2 * k + 1], double(r[k].imag()), e) << n << " " << k; }
        }
    }
}

TEST(Transform, DerivesItsSizesRefusesWhatItCannotServeAndAgreesWithTheSlowDft) {
    // e = rate / interval, N the power of two from e up, M = trunc(88200 / (e / N)): M = N, M capped at N (1 Hz),
    // zero padding (0.05 Hz), e a power of two.
    const struct { double interval; std::int32_t sampleRate, n, passes, points; double step; } cases[] = {
        {0.5, 44100, 131072, 17, 131072, 88200.0 / 131072}, {1.0, 44100, 65536, 16, 65536, 44100.0 / 65536},
        {0.05, 44100, 1048576, 20, 104857, 882000.0 / 1048576}, {1.0, 8192, 8192, 13, 8192, 1.0}};
    std::vector<double> spectrum(131072);
    for (const auto& c : cases) {
        TransformJob job;
        ASSERT_TRUE(PrepareTransformJob(job, Request(c.interval, 0, 200, 0, 88200, c.sampleRate), nullptr, 0,
                                        spectrum.data()));
        EXPECT_EQ(std::tuple(job.transformSize, job.passCount, job.pointCount, job.resampleStep),
                  std::tuple(c.n, c.passes, c.points, c.step));
    }
    TransformJob job;  // 0.5 Hz apart, N = 131072: the highest bin may be N - 1
    ASSERT_TRUE(PrepareTransformJob(job, Request(0.5, 0.0, 131071), nullptr, 0, spectrum.data()));
    for (const AnalysisRequest& r : {Request(0.5, 0, 131072), Request(0.5, 0.5, 131071), Request(0.5, -0.5, 10),
                                     Request(0.5, 0, -1), Request(0.5, 0, 10, -1), Request(0.5, 0, 10, 100, 100),
                                     Request(0, 0, 10), Request(44100, 0, 0)}) {  // the last with e = 1
        EXPECT_FALSE(PrepareTransformJob(job, r, nullptr, 0, spectrum.data())) << r.startFrequency << " " << r.steps;
    }
    EXPECT_FALSE(PrepareTransformJob(job, Request(0.5, 0.0, 10), nullptr, 0, nullptr));
    EXPECT_EQ(job.steps, 131071);  // a refusal leaves the job alone
    job.cancelRequested = 1;       // a cancel before the first pass still publishes done
    TransformWorker(job);
    EXPECT_EQ(std::pair(job.passesDone.load(), job.done.load()), std::pair(0, std::uint8_t{1}));
    // A whole stretch; then, with N = 2^18, a shorter one (zero padded) past the end of a sound in a heap block of
    // exactly its length, for the address sanitizer. The window's cosine recurrence drifts by up to 2e-8.
    const std::vector<std::int16_t> full = Noise(88200), cut(full.begin(), full.begin() + 60000);
    for (const auto& [interval, first, last, sound] : {std::tuple{0.5, 0, 88200, &full}, {0.25, 10000, 70000, &cut}}) {
        TransformJob job;
        const std::vector<double> fast = RunWorker(Request(interval, 20.0, 7960, first, last), *sound, job);
        const std::vector<double> slow = SlowSpectrum(job, *sound, 199);
        const double largest = *std::max_element(fast.begin(), fast.end());
        for (std::size_t j = 0; j < slow.size(); ++j) ASSERT_NEAR(fast[199 * j], slow[j], 1e-7 * largest) << j;
    }
}

TEST(SpectrumAnalyser, RunsOneTransformAtATimeAndHandsOverOnlyACompletedSpectrum) {
    auto waitForDone = [](SpectrumAnalyser& engine) {  // polls like the progress dialog, never joins
        while (!engine.Done()) std::this_thread::yield();
    };
    const std::vector<std::int16_t> sound = Noise(88200);
    const AnalysisRequest request = Request(0.5, 20.0, 2000), slow = Request(0.05, 0.0, 1000);
    TransformJob direct;
    const std::vector<double> expected = RunWorker(request, sound, direct);
    SpectrumAnalyser engine;
    Spectrum spectrum;
    EXPECT_FALSE(engine.Done() || engine.Finish(spectrum));  // nothing started
    EXPECT_FALSE(engine.StartTransform(Request(0.5, 20.0, -1), sound.data(), 88200));  // the job refuses
    ASSERT_TRUE(engine.StartTransform(request, sound.data(), 88200));
    EXPECT_FALSE(engine.StartTransform(request, sound.data(), 88200));  // running until Finish, done or not
    waitForDone(engine);
    EXPECT_EQ(std::pair(engine.Progress().passesDone, engine.Progress().passCount), std::pair(17, 17));
    ASSERT_TRUE(engine.Finish(spectrum));
    EXPECT_EQ(std::tuple(spectrum.startFrequency, spectrum.endFrequency, spectrum.interval, spectrum.steps,
                         spectrum.magnitudes, spectrum.Measured(), spectrum.Smoothed()),
              std::tuple(20.0, 1020.0, 0.5, 2000, expected, true, false));
    EXPECT_FALSE(engine.Finish(spectrum));  // handed over once
    ASSERT_TRUE(engine.StartTransform(slow, sound.data(), 88200));
    engine.RequestCancel();
    waitForDone(engine);
    EXPECT_FALSE(engine.Finish(spectrum));
    EXPECT_EQ(std::pair(spectrum.steps, spectrum.magnitudes), std::pair(2000, expected)) << "a cancel hands nothing over";
    EXPECT_TRUE(engine.StartTransform(slow, sound.data(), 88200));  // and the destructor cancels and joins this one
}

TEST(Smoothing, EqualsThePointByPointFormExactlyFromThreeKernelWidthsOn) {
    // Ratio 0.5 / interval, K = trunc(30 ratio + 1): K = 2 (no group of four offsets) up to the widest, both units.
    const struct { double interval; std::int32_t steps, half; double unit; } cases[] = {
        {10.0, 50, 2, 1.0 / 4.0}, {1.0, 3000, 16, 1.0 / 256.0}, {0.5, 93, 31, 1.0 / 961.0 / 1.0 / 2.0},
        {0.5, 92, 0, 0.0}, {0.5, 20, 0, 0.0}, {0.05, 100001, 301, 1.0 / (301.0 * 301.0) / 10.0 / 2.0}};  // 3K = 93
    std::mt19937 random(3);
    std::uniform_real_distribution<double> value(0.0, 100.0);
    for (const auto& c : cases) {
        Spectrum spectrum = UnmeasuredSpectrum(Request(c.interval, 0.0, c.steps));
        std::vector<double> values(c.steps + 1);
        for (double& v : values) v = value(random);
        std::fill(values.begin() + c.steps / 2, values.begin() + std::min(c.steps, c.steps / 2 + 1000), 0.0);
        values[c.steps] = 1000.0;
        FindMaximum(spectrum);
        EXPECT_FALSE(spectrum.Measured() || spectrum.maxMagnitude != 0.0 || Smooth(spectrum, 44100, 88200));
        spectrum.magnitudes = values;
        FindMaximum(spectrum);
        EXPECT_EQ(spectrum.maxMagnitude, 1000.0);  // the last point counts
        ASSERT_EQ(Smooth(spectrum, 44100, 88200), c.half > 0) << c.steps;
        EXPECT_EQ(spectrum.resolutionRatio, 0.5 / c.interval);
        EXPECT_EQ(spectrum.smoothed, c.half > 0 ? SlowSmooth(values, c.half, c.unit) : std::vector<double>()) << c.steps;
        EXPECT_FALSE(Smooth(spectrum, 0, 88200) || Smooth(spectrum, 44100, -1) || spectrum.Smoothed());
    }
}

}  // namespace
