#include "tuning/doublet_search.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Candidate {
    std::int32_t bin;
    double magnitude;
};

// Grid maxima that may, refined, pass the tests.
std::vector<Candidate> Candidates(const RecordingSpectra& spectra, double peakHz, double least) {
    const double binHz = spectra.BinHz();
    const double apart = 2.0 * spectra.ResolutionHz() - binHz;
    const auto first = static_cast<std::int32_t>(std::max(1.0, peakHz * std::exp2(-40.0 / 1200.0) / binHz));
    const auto last = static_cast<std::int32_t>(std::min<double>(spectra.Bins() - 1, peakHz * std::exp2(40.0 / 1200.0) / binHz + 1.0));
    std::vector<Candidate> found;
    for (std::int32_t k = first; k <= last; ++k) {
        const double m = spectra.HannMagnitude(k);
        if (std::abs(k * binHz - peakHz) < apart || m < least) continue;
        if (m * m > spectra.HannPower(k - 1) && m * m >= spectra.HannPower(k + 1)) found.push_back({k, m});
    }
    std::sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) { return a.magnitude > b.magnitude; });
    return found;
}

// The exact |X| at the deepest point between the two peaks: the grid's
// lowest point between them, refined.
double Dip(const RecordingSpectra& spectra, LocalTransform& transform, double aHz, double bHz) {
    const double binHz = spectra.BinHz();
    const auto from = static_cast<std::int32_t>(std::min(aHz, bHz) / binHz) + 1;
    const auto to = static_cast<std::int32_t>(std::max(aHz, bHz) / binHz);
    if (from > to) return 0.0;
    std::int32_t lowest = from;
    for (std::int32_t k = from; k <= to; ++k) {
        if (spectra.HannPower(k) < spectra.HannPower(lowest)) lowest = k;
    }
    const double hz = lowest * binHz;
    transform.Centre(hz);
    const double lo = std::max(std::min(aHz, bHz), hz - binHz), hi = std::min(std::max(aHz, bHz), hz + binHz);
    return transform.Magnitude(transform.DipIn(lo, hi));
}

}  // namespace

std::optional<Doublet> FindDoublet(const RecordingSpectra& spectra, LocalTransform& transform, double peakHz,
                                   double peakMagnitude, double noiseVariance) {
    const double floor = 10.0 * std::sqrt(noiseVariance * spectra.HannEnergy());
    const double least = std::max(0.1 * peakMagnitude, floor);
    const double lo = peakHz * std::exp2(-40.0 / 1200.0), hi = peakHz * std::exp2(40.0 / 1200.0);
    const double binHz = spectra.BinHz();
    for (const Candidate& c : Candidates(spectra, peakHz, 0.79 * least)) {
        const double gridHz = c.bin * binHz;
        transform.Centre(gridHz);
        const double hz = transform.PeakIn(gridHz - binHz, gridHz + binHz);
        const double magnitude = transform.Magnitude(hz);
        if (magnitude < least || hz < lo || hz > hi) continue;
        if (std::abs(hz - peakHz) < 2.0 * spectra.ResolutionHz()) continue;
        if (Dip(spectra, transform, peakHz, hz) > 0.5 * magnitude) continue;
        return Doublet{hz, magnitude / peakMagnitude, std::nullopt};
    }
    return std::nullopt;
}
