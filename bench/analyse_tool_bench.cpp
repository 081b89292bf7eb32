// Whole-process timing and peak memory of campanor-analyse on 3-second
// 44.1 kHz bell recordings (at the default parameters, at interval 0.05 Hz,
// and a batch of 40 files) and on a nine-hour recording at 1 kHz. Each run is pinned to one core. The tool is looked for next
// to this program's build folder (tools/campanor-analyse), so build both:
//   cmake --build BUILD --target campanor-analyse campanor-bench
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/tool_process.h"
#include "data/wave_file.h"

namespace {

namespace fs = std::filesystem;

constexpr int kBatchFiles = 40;

struct ToolFiles {
    std::string tool;
    std::string folder;
    std::vector<std::string> bells;
};

// A decaying bell on 500 Hz that starts after 0.3 s, so the trigger fires
// in the second capture block.
void WriteBell(const std::string& path) {
    std::vector<std::int16_t> samples(3 * 44100);
    const double parts[][2] = {{0.25, 0.3}, {0.5, 0.4}, {0.6, 0.5}, {0.75, 0.1},
                               {1.0, 1.0}, {1.5, 0.3}, {2.0, 0.4}};
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / 44100.0 - 0.3;
        double v = 0.0;
        if (t >= 0.0) {
            for (const auto& p : parts) v += p[1] * std::sin(2.0 * M_PI * 500.0 * p[0] * t);
            v *= 0.25 * std::exp(-t);
        }
        samples[i] = static_cast<std::int16_t>(std::lround(32767.0 * v));
    }
    SaveWaveFile(path, WithSamples({}, std::move(samples)));
}

// Nine hours at 1 kHz (2^25 samples, a 64 MB file): a decaying 200 Hz tone
// struck after 0.3 s, then silence. The tool converts only what the trigger
// and the recording need, so this costs about what a short file does.
void WriteLongLowRateFile(const std::string& path) {
    std::vector<std::int16_t> samples(std::size_t{1} << 25);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / 1000.0 - 0.3;
        const double v = t < 0.0 || t > 10.0 ? 0.0 : 0.5 * std::exp(-t) * std::sin(2.0 * M_PI * 200.0 * t);
        samples[i] = static_cast<std::int16_t>(std::lround(32767.0 * v));
    }
    Recording recording = WithSamples({}, std::move(samples));
    recording.sampleRate = 1000;
    SaveWaveFile(path, recording);
}

const ToolFiles& Files() {
    static const ToolFiles files = [] {
        ToolFiles f;
        f.tool = AnalyseToolPath();
        std::string pattern = (fs::temp_directory_path() / "campanor-bench-XXXXXX").string();
        f.folder = mkdtemp(pattern.data()) ? pattern : "/tmp";
        WriteBell(f.folder + "/bell.wav");
        WriteLongLowRateFile(f.folder + "/long.wav");
        for (int i = 0; i < kBatchFiles; ++i) {
            f.bells.push_back(f.folder + "/bell" + std::to_string(i) + ".wav");
            fs::copy_file(f.folder + "/bell.wav", f.bells.back(), fs::copy_options::overwrite_existing);
        }
        fs::create_directory(f.folder + "/out");
        std::atexit([] { fs::remove_all(Files().folder); });
        return f;
    }();
    return files;
}

bool RunTool(const std::vector<std::string>& args, long& peakKilobytes) { return RunAnalyseTool(args, peakKilobytes); }

void TimeTool(benchmark::State& state, const std::vector<std::string>& args, int files) {
    if (!fs::exists(Files().tool)) {
        state.SkipWithError("campanor-analyse is not built next to campanor-bench");
        return;
    }
    long peak = 0;
    for (auto _ : state) {
        if (!RunTool(args, peak)) {
            state.SkipWithError("campanor-analyse failed");
            return;
        }
    }
    state.counters["files/s"] = benchmark::Counter(files, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_MB"] = static_cast<double>(peak) / 1024.0;
}

void BM_ToolOneFileDefaults(benchmark::State& state) {
    TimeTool(state, {"--out-dir", Files().folder + "/out", Files().bells[0]}, 1);
}

void BM_ToolOneFileInterval005(benchmark::State& state) {
    TimeTool(state, {"--interval", "0.05", "--out-dir", Files().folder + "/out", Files().bells[0]}, 1);
}

void BM_ToolBatch40Files(benchmark::State& state) {
    std::vector<std::string> args{"--out-dir", Files().folder + "/out"};
    args.insert(args.end(), Files().bells.begin(), Files().bells.end());
    TimeTool(state, args, kBatchFiles);
}

void BM_ToolNineHoursAt1kHz(benchmark::State& state) {
    TimeTool(state, {"--out-dir", Files().folder + "/out", Files().folder + "/long.wav"}, 1);
}

}  // namespace

BENCHMARK(BM_ToolNineHoursAt1kHz)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)
    ->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ToolOneFileDefaults)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)
    ->Repetitions(21)->ReportAggregatesOnly(true);
BENCHMARK(BM_ToolOneFileInterval005)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)
    ->Repetitions(21)->ReportAggregatesOnly(true);
BENCHMARK(BM_ToolBatch40Files)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)
    ->Repetitions(7)->ReportAggregatesOnly(true);
