#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "analysis/transform_job.h"
#include "tests/analysis/reference.h"

namespace {

std::vector<double> RunWorker(const AnalysisRequest& request, const std::int16_t* samples, std::int32_t count) {
    std::vector<double> spectrum(request.steps + 1, -1.0);
    TransformJob job;
    EXPECT_TRUE(PrepareTransformJob(job, request, samples, count, spectrum.data()));
    TransformWorker(job);
    EXPECT_EQ(job.done.load(), 1);
    EXPECT_EQ(job.passesDone.load(), job.passCount);
    return spectrum;
}

// Largest difference, as a fraction of the spectrum's maximum.
double RelativeDifference(const std::vector<double>& a, const std::vector<double>& b) {
    double largest = 0.0, difference = 0.0;
    for (std::size_t j = 0; j < a.size(); ++j) {
        largest = std::max(largest, b[j]);
        difference = std::max(difference, std::fabs(a[j] - b[j]));
    }
    return difference / largest;
}

TEST(TransformJob, DerivesSizesForTheFourKindsOfIntervalAndRefusesWhatItCannotServe) {
    const struct {
        double interval;
        std::int32_t sampleRate, n, passes, points;
        double step;
    } cases[] = {
        {0.5, 44100, 131072, 17, 131072, 88200.0 / 131072},
        {1.0, 44100, 65536, 16, 65536, 44100.0 / 65536},          // M capped at N
        {0.05, 44100, 1048576, 20, 104857, 882000.0 / 1048576},  // zero padding
        {1.0, 8192, 8192, 13, 8192, 1.0},                         // e a power of two
    };
    std::vector<double> spectrum(8001);
    for (const auto& c : cases) {
        AnalysisRequest request = MakeRequest(c.interval, 0.0, 200, 88200);
        request.sampleRate = c.sampleRate;
        TransformJob job;
        ASSERT_TRUE(PrepareTransformJob(job, request, nullptr, 0, spectrum.data()));
        EXPECT_EQ(job.transformSize, c.n);
        EXPECT_EQ(job.passCount, c.passes);
        EXPECT_EQ(job.pointCount, c.points);
        EXPECT_EQ(job.resampleStep, c.step);
    }
    TransformJob job;
    // Highest bin 130000 + 8000 >= N; an empty stretch; e = 1.
    for (const AnalysisRequest& r : {MakeRequest(0.5, 65000.0, 8000, 88200), MakeRequest(0.5, 0.0, 8000, 0),
                                     MakeRequest(44100.0, 0.0, 0, 88200)}) {
        EXPECT_FALSE(PrepareTransformJob(job, r, nullptr, 0, spectrum.data()));
    }
    EXPECT_FALSE(job.workBuffer);
}

TEST(TransformWorker, AgreesWithTheLiteralFormWithinOnePartInABillion) {
    const std::vector<std::int16_t> sound = BellSamples(88200);
    for (double interval : {0.5, 0.05}) {
        const AnalysisRequest request = MakeRequest(interval, 20.0, static_cast<std::int32_t>(3980 / interval), 88200);
        const std::vector<double> fast = RunWorker(request, sound.data(), 88200);
        EXPECT_LT(RelativeDifference(fast, LiteralSpectrum(request, sound)), 1e-9) << interval;
    }
}

TEST(TransformWorker, OnePowerOfTwoUsesTheSamplesUnchanged) {
    // e = N: resampleStep 1, so the windowed input is the samples times W(i)
    // and a sine on bin 100 of 8192 lands on spectrum point 100 exactly.
    std::vector<std::int16_t> sound(8192);
    for (int i = 0; i < 8192; ++i) sound[i] = static_cast<std::int16_t>(std::lround(1000 * std::sin(2 * M_PI * 100 * i / 8192)));
    AnalysisRequest request = MakeRequest(1.0, 0.0, 4000, 8192);
    request.sampleRate = 8192;
    TransformJob job;
    std::vector<double> windowed(8192), spectrum(4001);
    ASSERT_TRUE(PrepareTransformJob(job, request, sound.data(), 8192, spectrum.data()));
    ResampleAndWindow(job, windowed.data());
    for (int i : {0, 1, 2048, 4096, 8191}) {
        EXPECT_NEAR(windowed[i], sound[i] * (0.54 - 0.46 * std::cos(2 * M_PI * i / 8192)), 1e-9) << i;
    }
    EXPECT_NEAR(RunWorker(request, sound.data(), 8192)[100], 1000.0 / 128, 0.01);
}

TEST(TransformWorker, SineOnASpectrumPointGivesAOver128TimesTheInterpolationLoss) {
    // Linear interpolation between samples convolves with a one-sample
    // triangle, which weighs a tone of frequency f by sinc^2(f / 44100):
    // measured 0.999983 at 100 Hz, 0.9983 at 1 kHz, 0.958 at 5 kHz, 0.673 at
    // 15 kHz and 0.482 at 20 kHz, the same with zero padding (0.05 Hz).
    const double amplitude = 20000.0;
    const double cases[][2] = {{100, 0.5}, {1000, 0.5}, {5000, 0.5}, {15000, 0.5}, {20000, 0.5}, {15000, 0.05}};
    for (const auto& [hz, interval] : cases) {
        std::vector<std::int16_t> sound(88200);
        for (int i = 0; i < 88200; ++i) {
            sound[i] = static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * M_PI * hz * i / 44100)));
        }
        const auto spectrum = RunWorker(MakeRequest(interval, hz - 100 * interval, 200, 88200), sound.data(), 88200);
        const double x = M_PI * hz / 44100;
        const double loss = (std::sin(x) / x) * (std::sin(x) / x);
        EXPECT_NEAR(spectrum[100] / (amplitude / 128), loss, 2e-4) << hz;
        EXPECT_EQ(std::max_element(spectrum.begin(), spectrum.end()) - spectrum.begin(), 100) << hz;
    }
}

TEST(TransformWorker, ReadsNothingPastAShortenedSound) {
    // Exactly sampleCount samples on the heap: a read past them trips the
    // address sanitizer. The stretch asks for 88200, the sound has 60000.
    const std::vector<std::int16_t> full = BellSamples(60000);
    std::unique_ptr<std::int16_t[]> exact(new std::int16_t[60000]);
    std::copy(full.begin(), full.end(), exact.get());
    const AnalysisRequest request = MakeRequest(0.5, 20.0, 7960, 88200);
    const auto spectrum = RunWorker(request, exact.get(), 60000);
    EXPECT_LT(RelativeDifference(spectrum, LiteralSpectrum(request, full)), 1e-9);
}

TEST(TransformWorker, CancelBeforeTheFirstPassStillPublishesDone) {
    std::vector<double> spectrum(101);
    TransformJob job;
    ASSERT_TRUE(PrepareTransformJob(job, MakeRequest(0.5, 0.0, 100, 88200), nullptr, 0, spectrum.data()));
    job.cancelRequested = 1;
    TransformWorker(job);
    EXPECT_EQ(job.passesDone.load(), 0);
    EXPECT_EQ(job.done.load(), 1);
}

}  // namespace
