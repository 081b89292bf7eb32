#include "tuning/frequency_uncertainty.h"

#include <cmath>
#include <numbers>

#include "tuning/weighted_fit.h"

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The periodic Hann window of the precise search at time t (s).
double HannAt(double t, std::int32_t length, double sampleRateHz) {
    const double n = static_cast<double>(length);
    const double i = std::min(n - 1.0, t * sampleRateHz);
    return 0.5 - 0.5 * std::cos(kTwoPi * (i + 0.5) / n);
}

}  // namespace

double NoiseUncertainty(const PartialEnvelope& envelope, const std::vector<double>& amplitude,
                        const std::vector<double>& noiseVariance, std::int32_t length, double sampleRateHz) {
    const double step = sampleRateHz / envelope.rateHz;  // samples per value
    const std::size_t count = std::min(amplitude.size(), static_cast<std::size_t>(envelope.usable));
    double g = 0.0, gt = 0.0;
    for (std::size_t m = 0; m < count; ++m) {
        const double t = m / envelope.rateHz;
        g += HannAt(t, length, sampleRateHz) * amplitude[m];
        gt += HannAt(t, length, sampleRateHz) * amplitude[m] * t;
    }
    if (!(g > 0.0)) return INFINITY;
    const double centre = gt / g;
    double noise = 0.0, curvature = 0.0;
    for (std::size_t m = 0; m < count; ++m) {
        const double t = m / envelope.rateHz - centre;
        const double w = HannAt(m / envelope.rateHz, length, sampleRateHz);
        noise += noiseVariance[m] * w * w * t * t;
        curvature += w * amplitude[m] * t * t;
    }
    return std::sqrt(2.0 * noise * step) / (kTwoPi * curvature * step);
}

Misfit MeasureMisfit(const PartialEnvelope& envelope, double noiseVariance, double fromSeconds, double toSeconds,
                     std::int32_t length, double sampleRateHz) {
    Misfit misfit;
    const double noise = noiseVariance * envelope.unitNoiseVariance;
    std::vector<double> t, level, phase, w;
    double noiseMean = 0.0, lastPhase = 0.0;
    for (std::int32_t m = 0; m < envelope.usable && m < static_cast<std::int32_t>(envelope.values.size()); ++m) {
        const double time = m / envelope.rateHz;
        const double p = std::norm(envelope.values[m]);
        if (time < fromSeconds || time > toSeconds || p < 10.0 * noise) continue;
        // Unwrapped against the previous value kept.
        double angle = std::arg(envelope.values[m]);
        if (!phase.empty()) angle = lastPhase + std::remainder(angle - lastPhase, kTwoPi);
        lastPhase = angle;
        const double weight = HannAt(time, length, sampleRateHz) * std::sqrt(p);
        t.push_back(time);
        level.push_back(0.5 * std::log(p));
        phase.push_back(angle);
        w.push_back(weight);
        noiseMean += weight * noise / p;  // level and phase variance together
    }
    const WeightedLine phaseLine = FitLine(t, phase, w);
    if (!phaseLine.valid || t.size() < 8) return misfit;
    noiseMean /= phaseLine.weightSum;
    const WeightedLine levelLine = FitLine(t, level, w);
    std::vector<double> levelMisfit(t.size()), phaseMisfit(t.size());
    for (std::size_t i = 0; i < t.size(); ++i) {
        levelMisfit[i] = level[i] - levelLine.At(t[i]);
        phaseMisfit[i] = phase[i] - phaseLine.At(t[i]);
    }
    const double independent =
        std::max(4.0, static_cast<double>(t.size()) * envelope.independentRateHz / envelope.rateHz);
    const double slow = SlowMeanSquare(t, levelMisfit, w) + SlowMeanSquare(t, phaseMisfit, w);
    // Noise alone puts about 2 / independent of its variance into each slow
    // part; allow three times that.
    const double systematic = slow - 6.0 * noiseMean / independent;
    misfit.timeSpread = std::sqrt(phaseLine.spread / phaseLine.weightSum);
    if (!(systematic > 0.0)) return misfit;
    misfit.slowRms = std::sqrt(systematic);
    // The line takes up part of a slow beat, and on average more than it
    // leaves: half as much again as what is left.
    misfit.uncertaintyHz = 1.5 * misfit.slowRms / (kTwoPi * misfit.timeSpread);
    return misfit;
}
