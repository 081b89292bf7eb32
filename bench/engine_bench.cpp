// Spectrum engine timings: the whole transform worker against the same
// resampling and window followed by FFTW's real-input transform, and the
// smoothing of the largest bands. At exit a summary prints the median time
// of each case and the worker/FFTW ratios.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "analysis/spectrum_analyser.h"
#include "analysis/transform_job.h"

namespace {

std::vector<std::int16_t> BellSound() {
    std::vector<std::int16_t> sound(88200);
    for (int i = 0; i < 88200; ++i) {
        const double t = i / 44100.0;
        const double v = std::exp(-t) * (6000 * std::sin(2 * M_PI * 523.3 * t) + 8000 * std::sin(2 * M_PI * 1046.9 * t) +
                                         3000 * std::sin(2 * M_PI * 627.4 * t) + 2000 * std::sin(2 * M_PI * 261.8 * t));
        sound[i] = static_cast<std::int16_t>(static_cast<std::int32_t>(v));
    }
    return sound;
}

const std::vector<std::int16_t>& Sound() {
    static const std::vector<std::int16_t> sound = BellSound();
    return sound;
}

AnalysisRequest Request(double interval) {
    AnalysisRequest request;
    request.interval = interval;
    request.startFrequency = 20.0;
    request.endFrequency = 4000.0;
    request.steps = static_cast<std::int32_t>(3980.0 / interval);
    request.lastSample = 88200;
    request.sampleRate = 44100;
    return request;
}

// Median per-iteration time (ns) of every measured run, per case.
class Timings {
public:
    ~Timings() { PrintSummary(); }
    void Record(const std::string& name, double nanoseconds, std::int64_t iterations) {
        runs[name].push_back({iterations, nanoseconds});
    }
    double Median(const std::string& name) const {
        const auto found = runs.find(name);
        if (found == runs.end()) return 0.0;
        // Only the full-length runs; Google Benchmark's sizing runs are shorter.
        std::int64_t most = 0;
        for (const auto& run : found->second) most = std::max(most, run.first);
        std::vector<double> times;
        for (const auto& run : found->second) {
            if (run.first == most) times.push_back(run.second);
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    }

private:
    void PrintSummary() const {
        if (runs.empty()) return;
        std::printf("\nengine summary (median per iteration):\n");
        for (const auto& [name, list] : runs) std::printf("  %-16s %10.3f ms\n", name.c_str(), Median(name) / 1e6);
        for (const char* hz : {"0.5Hz", "0.05Hz"}) {
            const double fftw = Median(std::string("fftw_") + hz);
            const double worker = Median(std::string("worker_") + hz);
            if (fftw > 0.0 && worker > 0.0) std::printf("  worker/fftw at %-6s %6.2f x\n", hz, worker / fftw);
        }
    }
    std::map<std::string, std::vector<std::pair<std::int64_t, double>>> runs;
};

Timings timings;

template <typename Body>
void Timed(benchmark::State& state, const std::string& name, Body body) {
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) body();
    const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    const double perIteration = elapsed.count() / static_cast<double>(state.iterations());
    timings.Record(name, perIteration, state.iterations());
    const double fftw = timings.Median("fftw_" + name.substr(name.find('_') + 1));
    if (name.rfind("worker_", 0) == 0 && fftw > 0.0) state.counters["x_fftw"] = perIteration / fftw;
}

void Fftw(benchmark::State& state, double interval, const std::string& name) {
    const AnalysisRequest request = Request(interval);
    std::vector<double> spectrum(request.steps + 1);
    TransformJob job;
    if (!PrepareTransformJob(job, request, Sound().data(), 88200, spectrum.data())) {
        state.SkipWithError("request refused");
        return;
    }
    const std::int32_t n = job.transformSize;
    double* in = fftw_alloc_real(n);
    fftw_complex* out = fftw_alloc_complex(n / 2 + 1);
    const fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE);
    const auto firstBin = static_cast<std::int32_t>(request.startFrequency / request.interval);
    const double scale = 1.0 / (job.pointCount * 0.54 * 64.0);
    Timed(state, name, [&] {
        ResampleAndWindow(job, in);
        fftw_execute(plan);
        for (std::int32_t j = 0; j <= request.steps; ++j) {
            const double re = out[firstBin + j][0];
            const double im = out[firstBin + j][1];
            spectrum[j] = scale * std::sqrt(re * re + im * im);
        }
        benchmark::DoNotOptimize(spectrum.data());
    });
    fftw_destroy_plan(plan);
    fftw_free(out);
    fftw_free(in);
}

void Worker(benchmark::State& state, double interval, const std::string& name) {
    const AnalysisRequest request = Request(interval);
    std::vector<double> spectrum(request.steps + 1);
    TransformJob job;
    if (!PrepareTransformJob(job, request, Sound().data(), 88200, spectrum.data())) {
        state.SkipWithError("request refused");
        return;
    }
    Timed(state, name, [&] {
        job.passesDone.store(0);
        TransformWorker(job);
        benchmark::DoNotOptimize(spectrum.data());
    });
}

// What StartTransform adds on the user-interface thread: the work buffer and
// its twiddle table.
void Prepare(benchmark::State& state) {
    const AnalysisRequest request = Request(0.05);
    std::vector<double> spectrum(request.steps + 1);
    Timed(state, "prepare_0.05Hz", [&] {
        TransformJob job;
        benchmark::DoNotOptimize(PrepareTransformJob(job, request, Sound().data(), 88200, spectrum.data()));
    });
}

void SmoothCase(benchmark::State& state, double interval, std::int32_t steps, const std::string& name) {
    Spectrum spectrum{20.0, 20.0 + steps * interval, interval, steps, std::vector<double>(steps + 1), {}, 0.0, 0.0};
    for (std::int32_t j = 0; j <= steps; ++j) spectrum.magnitudes[j] = 1.0 + std::sin(j * 0.01) * std::sin(j * 0.37);
    bool smoothed = true;
    Timed(state, name, [&] { smoothed = Smooth(spectrum, 44100, 88200) && smoothed; });
    if (!smoothed) state.SkipWithError("smoothing refused");
}

}  // namespace

BENCHMARK_CAPTURE(Fftw, fftw_0.5Hz, 0.5, "fftw_0.5Hz")->Name("fftw_0.5Hz")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Fftw, fftw_0.05Hz, 0.05, "fftw_0.05Hz")->Name("fftw_0.05Hz")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Worker, worker_0.5Hz, 0.5, "worker_0.5Hz")->Name("worker_0.5Hz")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Worker, worker_0.05Hz, 0.05, "worker_0.05Hz")->Name("worker_0.05Hz")->Unit(benchmark::kMillisecond);
BENCHMARK(Prepare)->Name("prepare_0.05Hz")->Unit(benchmark::kMillisecond);
// Interval 0.5 with a 88200-sample stretch: K = 31; interval 0.05: K = 301.
BENCHMARK_CAPTURE(SmoothCase, smooth_10000, 0.5, 10000, "smooth_10000")->Name("smooth_10000")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SmoothCase, smooth_100001, 0.05, 100001, "smooth_100001")->Name("smooth_100001")->Unit(benchmark::kMillisecond);
