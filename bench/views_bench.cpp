// The decay and spectrogram views of a 20 s recording (a bell of seven
// partials, one of them a doublet beating at 1 Hz): the spectrogram made
// from the samples (over the default 0 ... 5000 Hz band, over the whole
// band, and over 20 Hz: the transforms alone) with its colour indices, the decay curves made from the tuning
// report, and a redraw of each view on a maximised 4K window (3840 x 2000
// physical pixels of view), as every resize, zoom or pan of the band asks;
// a redraw that keeps up needs less than the 16.7 ms of a 60 Hz frame.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <numbers>
#include <vector>

#include "analysis/spectrogram.h"
#include "bench/application.h"
#include "partials/partial_table.h"
#include "tuning/decay_curves.h"
#include "tuning/tuning_report.h"
#include "ui/decay_render.h"
#include "ui/spectrogram_geometry.h"
#include "ui/spectrogram_render.h"

namespace {

constexpr std::int32_t kCount = 20 * 44100;

struct Bell20 {
    std::vector<std::int16_t> samples;
    PartialTable table;
    TuningReport report;
};

const Bell20& TwentySeconds() {
    static const Bell20 bell = [] {
        Bell20 b;
        const double ratios[7] = {0.25, 0.5, 0.6, 1.0, 1.5, 2.0, 0.75}, t60s[7] = {40, 20, 12, 8, 4, 3, 6};
        b.samples.resize(kCount);
        for (int p = 0; p < 7; ++p) b.table.AddPeak(500.0 * ratios[p], 0.0, 1.0, 0.0, 0.0, static_cast<std::int16_t>(p));
        for (std::int32_t i = 0; i < kCount; ++i) {
            const double t = i / 44100.0;
            double v = 1500.0 * std::exp(-6.9 * t / 8.0) * std::sin(2 * std::numbers::pi * 501.0 * t);
            for (int p = 0; p < 7; ++p) v += 3000.0 * std::exp(-6.9 * t / t60s[p]) * std::sin(2 * std::numbers::pi * 500.0 * ratios[p] * t);
            b.samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(v));
        }
        b.report = MakeTuningReport(b.samples.data(), kCount, 44100.0, 0.05, b.table, JustTuning());
        return b;
    }();
    return bell;
}

void SpectrogramCase(benchmark::State& state) {
    const Bell20& bell = TwentySeconds();
    const SpectrogramSettings settings{4096, 512, 0.0, static_cast<double>(state.range(0))};
    for (auto _ : state) {
        const Spectrogram s = MakeSpectrogram(bell.samples.data(), kCount, 44100.0, settings);
        const std::vector<std::uint8_t> indices = ColourIndices(s);
        benchmark::DoNotOptimize(indices.data());
    }
}
BENCHMARK(SpectrogramCase)->Name("spectrogram_20s")->Arg(5000)->Arg(22050)->Arg(20)->Unit(benchmark::kMillisecond);

void SpectrogramRedrawCase(benchmark::State& state) {
    const Bell20& bell = TwentySeconds();
    const Spectrogram s = MakeSpectrogram(bell.samples.data(), kCount, 44100.0, {4096, 512, 0.0, 5000.0});
    const std::vector<std::uint8_t> indices = ColourIndices(s);
    SpectrogramMarks marks;
    for (const TunedPartial& p : bell.report.partials) marks.partialsHz.push_back(p.frequencyHz);
    marks.strikeSeconds = 0.0;
    marks.secondStrikeSeconds = 12.0;
    QImage image(3840, 2000, QImage::Format_RGB32);
    const SpectrogramWindow window{0.0, static_cast<double>(state.range(0)), 20.0};
    for (auto _ : state) {
        RenderSpectrogram(image, s, indices, window, marks);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(SpectrogramRedrawCase)->Name("spectrogram_redraw_4k")->Arg(5000)->Arg(1500)->Unit(benchmark::kMillisecond);

void DecayCurvesCase(benchmark::State& state) {
    const Bell20& bell = TwentySeconds();
    for (auto _ : state) {
        std::vector<DecayCurve> curves = MakeDecayCurves(bell.samples.data(), kCount, 44100.0, bell.report, bell.table);
        benchmark::DoNotOptimize(curves.data());
    }
}
BENCHMARK(DecayCurvesCase)->Name("decay_curves_20s")->Unit(benchmark::kMillisecond);

void DecayRedrawCase(benchmark::State& state) {
    NeedApplication();
    const Bell20& bell = TwentySeconds();
    const std::vector<DecayCurve> curves = MakeDecayCurves(bell.samples.data(), kCount, 44100.0, bell.report, bell.table);
    std::vector<const DecayCurve*> shown;
    for (const DecayCurve& c : curves) shown.push_back(&c);
    if (state.range(0) == 1) shown.resize(1);
    QImage image(3840, 2000, QImage::Format_RGB32);
    QFont font;
    font.setPixelSize(24);  // a 9-point font at device pixel ratio 2
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setFont(font);
        DrawDecayPlot(painter, QRectF(0, 0, 3840, 2000), shown);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["points"] = static_cast<double>(curves.empty() ? 0 : curves.front().levelsDb.size());
}
BENCHMARK(DecayRedrawCase)->Name("decay_redraw_4k")->Arg(7)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
