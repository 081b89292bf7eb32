// A tower's project file at the size of a large ring's history: 16 bells
// with 10 passes each (160 two-second recordings). Opening it and making the
// ring's table from each bell's latest pass, printing it with its history
// through the tool (the whole process), and keeping one more measurement.
// The window's ring table is the grid below filled into a table widget.
#include <benchmark/benchmark.h>

#include <QHeaderView>
#include <QTableWidget>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "analysis/spectrum.h"
#include "bench/application.h"
#include "bench/tool_process.h"
#include "cycle/analyse_recording.h"
#include "project/local_time.h"
#include "project/kept_ring.h"
#include "project/project.h"
#include "ring/outer_tuning.h"
#include "ui/ring_grid.h"

namespace {

namespace fs = std::filesystem;

constexpr int kBells = 16, kPasses = 10;

// A 2 s bell on `nominal` Hz, analysed as the tool analyses it.
Measurement BellMeasurement(double nominal) {
    std::vector<std::int16_t> samples(88200);
    const double parts[][2] = {{0.25, 0.3}, {0.5, 0.4}, {0.6, 0.5}, {0.75, 0.1}, {1.0, 1.0}, {1.5, 0.3}, {2.0, 0.4}};
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / 44100.0;
        double v = 0.0;
        for (const auto& p : parts) v += p[1] * std::sin(2.0 * M_PI * nominal * p[0] * t) * std::exp(-t);
        samples[i] = static_cast<std::int16_t>(std::lround(6000.0 * v));
    }
    Measurement m;
    m.recording = WithSamples({}, samples);
    AnalysisParameters parameters;
    AnalysisRequest request;
    AcceptParameters(parameters, request);
    m.parameters = parameters;
    Recording analysed = m.recording;
    Spectrum spectrum;
    AnalyseRecording(analysed, 1.0, request, spectrum, m.table, 0.0, 5000.0, JustTuning(), m.tuning);
    m.time = LocalTimeIso8601(std::chrono::system_clock::now());
    m.source = "bell.wav";
    return m;
}

const std::string& ProjectPath() {
    static const std::string path = [] {
        std::string pattern = (fs::temp_directory_path() / "campanor-bench-XXXXXX").string();
        const std::string folder = mkdtemp(pattern.data()) ? pattern : "/tmp";
        const std::string file = folder + "/tower.campanor";
        Project project;
        RingSettings ring;
        ring.bellCount = kBells;
        project.Create(file, ring);
        Measurement m = BellMeasurement(500.0);
        for (int bell = 1; bell <= kBells; ++bell) {
            for (int pass = 0; pass < kPasses; ++pass) {
                m.bell = bell;
                m.pass = "pass " + std::to_string(pass);
                std::int64_t id = 0;
                project.Keep(m, id);
            }
        }
        std::atexit([] { fs::remove_all(fs::path(ProjectPath()).parent_path()); });
        return file;
    }();
    return path;
}

// Opens the project and makes the ring's table from each bell's latest
// pass, as "Open project..." does; false when it does not open.
bool RingTableOf(const std::string& path, TextGrid& grid) {
    Project project;
    KeptRing kept;
    if (project.Open(path) != ProjectOpened || ReadKeptRing(project, kept) != ProjectDone) return false;
    const OuterTuning outer = MakeOuterTuning(kept.ring, kept.bells, kept.measures);
    std::vector<InnerTuningRow> inner;
    for (const KeptPass& pass : kept.latest) inner.push_back(MakeInnerTuning(pass.bell, pass.tuning, JustTuning()));
    grid = MakeRingGrid(outer, inner, {}, TuningUnits::Cents, InnerFigures::Deviation);
    return true;
}

void BM_ProjectRingTable(benchmark::State& state) {
    const std::string& path = ProjectPath();
    for (auto _ : state) {
        TextGrid grid;
        if (!RingTableOf(path, grid)) {
            state.SkipWithError("the project does not open");
            return;
        }
        benchmark::DoNotOptimize(grid);
    }
}

// The same filled into a table widget, its columns sized to their contents.
void BM_ProjectRingTableShown(benchmark::State& state) {
    const std::string& path = ProjectPath();
    NeedApplication();
    QTableWidget table;
    SetUpGridTable(table);
    for (auto _ : state) {
        TextGrid grid;
        if (!RingTableOf(path, grid)) {
            state.SkipWithError("the project does not open");
            return;
        }
        ShowTextGrid(table, grid);
        benchmark::DoNotOptimize(table.horizontalHeader()->sectionSize(16));
    }
}

void BM_ProjectPrintedByTheTool(benchmark::State& state) {
    const std::string& path = ProjectPath();
    long peak = 0;
    for (auto _ : state) {
        if (!RunAnalyseTool({"--project", path, "--format", "json"}, peak)) {
            state.SkipWithError("campanor-analyse failed (is it built?)");
            return;
        }
    }
    state.counters["peak_MB"] = static_cast<double>(peak) / 1024.0;
}

void BM_ProjectKeepOneMeasurement(benchmark::State& state) {
    const std::string& path = ProjectPath();
    Measurement m = BellMeasurement(600.0);
    m.bell = 1;
    Project project;
    project.Open(path);
    int kept = 0;
    for (auto _ : state) {
        m.pass = "kept " + std::to_string(kept++);
        std::int64_t id = 0;
        if (project.Keep(m, id) != ProjectDone) {
            state.SkipWithError("the measurement was not kept");
            return;
        }
    }
}

}  // namespace

BENCHMARK(BM_ProjectRingTable)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProjectRingTableShown)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProjectPrintedByTheTool)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_ProjectKeepOneMeasurement)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
