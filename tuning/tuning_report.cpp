#include "tuning/tuning_report.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "partials/partial_table.h"
#include "tuning/local_transform.h"
#include "tuning/partial_decay.h"

namespace {

constexpr std::int16_t kNominal = 3, kSuperquint = 4, kOctaveNominal = 5;

double CentsBetween(double hz, double referenceHz) {
    return 1200.0 * std::log2(hz / referenceHz);
}

// Hz to the nearest other row of the table: the envelope's smoothing must be
// long enough to shut that row out.
double NearestOtherRow(const PartialTable& table, int row) {
    double nearest = 1e9;
    for (int r = 0; r < table.count && r < kPartialRows; ++r) {
        if (r != row) nearest = std::min(nearest, std::abs(table.frequency[r] - table.frequency[row]));
    }
    return nearest;
}

// One standard deviation of the peak's frequency under white noise of
// `noiseVariance` per sample: the spread of the windowed transform's slope
// over its curvature, with the partial's own amplitude over time.
double PeakUncertainty(const LocalTransform& transform, const std::vector<double>& amplitude,
                       double noiseVariance) {
    const double blockSeconds = LocalTransform::kBlock / transform.RateHz();
    double g = 0.0, gt = 0.0;
    for (int b = 0; b < transform.Blocks(); ++b) {
        const double weight = transform.WindowAt(b) * amplitude[b];
        g += weight;
        gt += weight * (b + 0.5) * blockSeconds;
    }
    if (!(g > 0.0)) return INFINITY;
    const double centre = gt / g;
    double noise = 0.0, curvature = 0.0;
    for (int b = 0; b < transform.Blocks(); ++b) {
        const double t = (b + 0.5) * blockSeconds - centre;
        const double w = transform.WindowAt(b);
        noise += w * w * t * t;
        curvature += w * amplitude[b] * t * t;
    }
    noise *= LocalTransform::kBlock;
    curvature *= LocalTransform::kBlock;
    return std::sqrt(2.0 * noiseVariance * noise) / (2.0 * std::numbers::pi * curvature);
}

// The strongest resolved peak within 40 cents of `peakHz`, no more than
// 20 dB below it and 20 dB above the median of the spectrum around it (the
// floor of noise and sidelobes); the transform must be centred near `peakHz`.
std::optional<Doublet> FindDoublet(LocalTransform& transform, double peakHz) {
    const double resolution = transform.RateHz() / transform.Length();
    const double peak = transform.Magnitude(peakHz);
    const double lo = peakHz * std::exp2(-40.0 / 1200.0), hi = peakHz * std::exp2(40.0 / 1200.0);
    std::vector<double> grid, magnitude;
    for (double f = peakHz - std::floor((peakHz - lo) / resolution) * resolution; f <= hi; f += resolution) {
        grid.push_back(f);
        magnitude.push_back(transform.Magnitude(f));
    }
    const auto centre = static_cast<int>(std::lround((peakHz - grid.front()) / resolution));
    std::vector<double> sorted = magnitude;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double floor = 10.0 * sorted[sorted.size() / 2];
    int best = -1;
    for (int i = 1; i + 1 < static_cast<int>(grid.size()); ++i) {
        const double m = magnitude[i];
        if (std::abs(i - centre) < 2 || m <= magnitude[i - 1] || m <= magnitude[i + 1]) continue;
        if (m < 0.1 * peak || m < floor) continue;
        // Resolved: the spectrum dips well below both peaks between them.
        const auto [from, to] = std::minmax(i, centre);
        const double dip = *std::min_element(magnitude.begin() + from, magnitude.begin() + to + 1);
        if (dip > 0.5 * m) continue;
        if (best < 0 || m > magnitude[best]) best = i;
    }
    if (best < 0) return std::nullopt;
    transform.Centre(grid[best]);
    const double frequency = transform.PeakIn(grid[best] - resolution, grid[best] + resolution);
    return Doublet{frequency, transform.Magnitude(frequency) / peak};
}

TunedPartial MeasurePartial(LocalTransform& transform, const PartialTable& table, int row,
                            double searchHz) {
    TunedPartial partial;
    partial.partialIndex = table.partialIndex[row];
    partial.name = table.partialNames[static_cast<std::size_t>(partial.partialIndex)];
    const double resolution = transform.RateHz() / transform.Length();
    const double rowHz = table.frequency[row];
    transform.Centre(rowHz);
    // The best point of a grid four times finer than the resolution, then
    // golden section around it.
    const double reach = std::max(searchHz, resolution);
    const double step = resolution / 4.0;
    double coarse = rowHz, best = -1.0;
    for (double f = rowHz - reach; f <= rowHz + reach + step / 2.0; f += step) {
        const double m = transform.Magnitude(f);
        if (m > best) {
            best = m;
            coarse = f;
        }
    }
    partial.frequencyHz = transform.PeakIn(coarse - step, coarse + step);
    const PartialDecay decay =
        MeasureDecay(transform.Envelope(partial.frequencyHz), LocalTransform::kBlock,
                     transform.RateHz() / LocalTransform::kBlock,
                     std::clamp(16.0 / NearestOtherRow(table, row), 0.03, 0.5));
    partial.t60Seconds = decay.t60Seconds;
    partial.uncertaintyHz = PeakUncertainty(transform, decay.amplitude, decay.noiseVariance);
    partial.doublet = FindDoublet(transform, partial.frequencyHz);
    partial.note = NoteName(partial.frequencyHz);
    return partial;
}

// The first sample of the first block of 128 whose largest magnitude
// reaches a quarter of the recording's, kept so that at least 1024 samples
// remain.
std::int32_t StrikeOnset(const std::int16_t* samples, std::int32_t count) {
    int loudest = 0;
    for (std::int32_t i = 0; i < count; ++i) loudest = std::max(loudest, std::abs(int{samples[i]}));
    std::int32_t onset = 0;
    while (onset + 128 <= count - 1024) {
        const std::int16_t* block = samples + onset;
        int peak = 0;
        for (int i = 0; i < 128; ++i) peak = std::max(peak, std::abs(int{block[i]}));
        if (4 * peak >= loudest) break;
        onset += 128;
    }
    return onset;
}

}  // namespace

std::optional<StrikeNote> EstimateStrike(double nominalHz, double superquintHz, double octaveHz) {
    if (!(nominalHz > 0.0)) return std::nullopt;
    // Least squares over the named harmonics: f = sum(k f_k) / sum(k^2).
    double weighted = 2.0 * nominalHz, squares = 4.0;
    if (superquintHz > 0.0) {
        weighted += 3.0 * superquintHz;
        squares += 9.0;
    }
    if (octaveHz > 0.0) {
        weighted += 4.0 * octaveHz;
        squares += 16.0;
    }
    const double hz = weighted / squares;
    return StrikeNote{hz, NoteName(hz), CentsBetween(hz, nominalHz)};
}

namespace {

// The strike note, and each partial's cents (when measured) and deviation
// from the ideal, all against the nominal in harmonic[0].
void FinishReport(TuningReport& report, const IdealTuning& ideal, const double harmonic[3], bool measuredCents) {
    report.strike = EstimateStrike(harmonic[0], harmonic[1], harmonic[2]);
    for (TunedPartial& p : report.partials) {
        if (measuredCents && harmonic[0] > 0.0) p.cents = CentsBetween(p.frequencyHz, harmonic[0]);
    }
    ApplyIdeal(report, ideal);
}

}  // namespace

TuningReport MakeTuningReport(const std::int16_t* samples, std::int32_t count, double rateHz,
                              double searchHz, const PartialTable& table, const IdealTuning& ideal) {
    TuningReport report;
    report.idealName = ideal.name;
    if (samples == nullptr || count < 1024 || !(rateHz > 0.0)) return report;
    // Measure from the strike on: the silence before it would put a step
    // into the windowed envelope, whose slowly falling sidelobes let every
    // other partial pull a little on each peak.
    const std::int32_t onset = StrikeOnset(samples, count);
    LocalTransform transform(samples + onset, count - onset, rateHz);
    double harmonic[3] = {0.0, 0.0, 0.0};  // nominal, superquint, octave nominal
    for (int row = 0; row < table.count && row < kPartialRows; ++row) {
        if (table.partialIndex[row] < 0 || table.partialIndex[row] >= NoPartial) continue;
        report.partials.push_back(MeasurePartial(transform, table, row, searchHz));
        const TunedPartial& p = report.partials.back();
        if (p.partialIndex >= kNominal && p.partialIndex <= kOctaveNominal) {
            harmonic[p.partialIndex - kNominal] = p.frequencyHz;
        }
    }
    FinishReport(report, ideal, harmonic, true);
    return report;
}

TuningReport ReportFromTable(const PartialTable& table, const IdealTuning& ideal) {
    TuningReport report;
    report.idealName = ideal.name;
    report.measured = false;
    double harmonic[3] = {0.0, 0.0, 0.0};
    for (int row = 0; row < table.count && row < kPartialRows; ++row) {
        const int index = table.partialIndex[row];
        if (index < 0 || index >= NoPartial) continue;
        TunedPartial p;
        p.partialIndex = static_cast<std::int16_t>(index);
        p.name = table.partialNames[static_cast<std::size_t>(index)];
        p.frequencyHz = table.frequency[row];
        p.cents = table.cents[row];
        p.note = NoteName(p.frequencyHz);
        if (index >= kNominal && index <= kOctaveNominal) harmonic[index - kNominal] = p.frequencyHz;
        report.partials.push_back(p);
    }
    FinishReport(report, ideal, harmonic, false);
    return report;
}

void ApplyIdeal(TuningReport& report, const IdealTuning& ideal) {
    report.idealName = ideal.name;
    const bool nominal = std::any_of(report.partials.begin(), report.partials.end(),
                                     [](const TunedPartial& p) { return p.partialIndex == kNominal && p.frequencyHz > 0.0; });
    for (TunedPartial& p : report.partials) {
        p.idealCents = ideal.centsByPartial[static_cast<std::size_t>(p.partialIndex)];
        p.deviationCents.reset();
        if (p.idealCents && nominal) p.deviationCents = p.cents - *p.idealCents;
    }
}
