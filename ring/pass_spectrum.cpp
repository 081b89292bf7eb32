#include "ring/pass_spectrum.h"

#include <algorithm>
#include <cmath>

#include "tuning/recording_spectra.h"

std::vector<double> SpectrumInCents(const Recording& recording, double speedAdjust, double zeroHz, double fromCents,
                                    double toCents, int points) {
    if (points < 2 || !(zeroHz > 0.0) || !std::isfinite(zeroHz) || !(speedAdjust > 0.0)) return {};
    const Recording analysed = speedAdjust == 1.0 ? recording : Stretched(recording, speedAdjust);
    const std::int32_t count = analysed.Length() - analysed.paddedSamples;
    if (count < 1024) return {};
    const RecordingSpectra spectra(analysed.Data(), count, analysed.sampleRate);
    const double step = (toCents - fromCents) / (points - 1);
    const auto binAt = [&](double cents) {
        const double bin = zeroHz * std::exp2(cents / 1200.0) / spectra.BinHz();
        return static_cast<std::int32_t>(std::clamp(bin, 0.0, static_cast<double>(spectra.Bins())));
    };
    std::vector<double> levels(static_cast<std::size_t>(points), 0.0);
    double largest = 0.0;
    for (int i = 0; i < points; ++i) {
        const double cents = fromCents + step * i;
        const std::int32_t first = binAt(cents - step / 2), last = std::max(first, binAt(cents + step / 2));
        double power = 0.0;
        for (std::int32_t bin = first; bin <= last; ++bin) power = std::max(power, spectra.HannPower(bin));
        levels[static_cast<std::size_t>(i)] = power;
        largest = std::max(largest, power);
    }
    for (double& level : levels) {
        level = level > 0.0 && largest > 0.0 ? std::max(-120.0, 10.0 * std::log10(level / largest)) : -120.0;
    }
    return levels;
}
