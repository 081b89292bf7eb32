// The whole tuning report of a bell with seven named partials: precise
// frequencies, uncertainties, decays, doublet searches and the strike note;
// 2 s at the default interval, and 20 s (the finest interval, 0.05 Hz).
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "partials/partial_table.h"
#include "tuning/tuning_report.h"

namespace {

void TuningReportCase(benchmark::State& state) {
    const auto count = static_cast<std::int32_t>(state.range(0));
    const double interval = 44100.0 / count;
    // hum, prime, tierce, nominal, superquint, oct. nom., quint
    const double ratios[7] = {0.25, 0.5, 0.6, 1.0, 1.5, 2.0, 0.75};
    const double t60s[7] = {40, 20, 12, 8, 4, 3, 6};
    std::vector<std::int16_t> sound(static_cast<std::size_t>(count));
    PartialTable table;
    for (int p = 0; p < 7; ++p) {
        table.AddPeak(500.0 * ratios[p], 0.0, 1.0, 0.0, 0.0, static_cast<std::int16_t>(p));
    }
    for (int i = 0; i < count; ++i) {
        const double t = i / 44100.0;
        double v = 0.0;
        for (int p = 0; p < 7; ++p) {
            v += 3000.0 * std::exp(-6.9 * t / t60s[p]) * std::sin(2 * std::numbers::pi * 500.0 * ratios[p] * t);
        }
        sound[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(v));
    }
    const IdealTuning ideal = JustTuning();
    for (auto _ : state) {
        TuningReport report = MakeTuningReport(sound.data(), count, 44100.0, interval, table, ideal);
        benchmark::DoNotOptimize(report);
    }
}
BENCHMARK(TuningReportCase)->Name("tuning_report")->Arg(88200)->Unit(benchmark::kMillisecond);
BENCHMARK(TuningReportCase)->Name("tuning_report_20s")->Arg(882000)->Unit(benchmark::kMillisecond);

}  // namespace
