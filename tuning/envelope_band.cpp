#include "tuning/envelope_band.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "partials/partial_table.h"

double EnvelopeBandHz(const PartialTable& table, int row, double hz, const std::optional<Doublet>& doublet,
                      double resolutionHz) {
    double nearest = 1e9;
    const auto consider = [&](double other) {
        const double apart = std::abs(other - hz);
        if (apart >= 2.0 * resolutionHz) nearest = std::min(nearest, apart);
    };
    for (int r = 0; r < table.count && r < kPartialRows; ++r) {
        if (r != row) consider(table.frequency[r]);
    }
    if (doublet) consider(doublet->frequencyHz);
    return std::clamp(0.8 * nearest, 3.0, 25.0);
}

double PartialNoiseVariance(const RecordingSpectra& spectra, const PartialTable& table, double hz) {
    std::vector<double> known(table.frequency.begin(), table.frequency.begin() + std::min<int>(table.count, kPartialRows));
    known.push_back(hz);
    return spectra.NoiseVariance(hz, known, 10.0 * spectra.ResolutionHz());
}
