// The whole tuning report of a 2-second bell with seven named partials at
// the default interval: precise frequencies, uncertainties, decays, doublet
// searches and the strike note.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "partials/partial_table.h"
#include "tuning/tuning_report.h"

namespace {

void TuningReportCase(benchmark::State& state) {
    // hum, prime, tierce, nominal, superquint, oct. nom., quint
    const double ratios[7] = {0.25, 0.5, 0.6, 1.0, 1.5, 2.0, 0.75};
    const double t60s[7] = {40, 20, 12, 8, 4, 3, 6};
    std::vector<std::int16_t> sound(88200);
    PartialTable table;
    for (int p = 0; p < 7; ++p) {
        table.AddPeak(500.0 * ratios[p], 0.0, 1.0, 0.0, 0.0, static_cast<std::int16_t>(p));
    }
    for (int i = 0; i < 88200; ++i) {
        const double t = i / 44100.0;
        double v = 0.0;
        for (int p = 0; p < 7; ++p) {
            v += 3000.0 * std::exp(-6.9 * t / t60s[p]) * std::sin(2 * std::numbers::pi * 500.0 * ratios[p] * t);
        }
        sound[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(v));
    }
    const IdealTuning ideal = JustTuning();
    for (auto _ : state) {
        TuningReport report = MakeTuningReport(sound.data(), 88200, 44100.0, 0.5, table, ideal);
        benchmark::DoNotOptimize(report);
    }
}
BENCHMARK(TuningReportCase)->Name("tuning_report")->Unit(benchmark::kMillisecond);

}  // namespace
