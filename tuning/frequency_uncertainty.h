#pragma once
#include <cstdint>
#include <vector>

#include "tuning/recording_spectra.h"

// How far a partial's precise frequency (the peak of the Hann-windowed
// transform of `length` samples at `sampleRateHz`) may be from the truth.
// Plain C++, any thread.

// One standard deviation under noise of `noiseVariance` per sample (one
// value per envelope value: the noise may be louder at some times, as in a
// strike's transient): the spread of the transform's slope at the peak over
// its curvature, with the partial's amplitude `amplitude` (sample units, one
// per envelope value) over time. Infinite when the amplitude is 0 throughout.
double NoiseUncertainty(const PartialEnvelope& envelope, const std::vector<double>& amplitude,
                        const std::vector<double>& noiseVariance, std::int32_t length, double sampleRateHz);

// What one decaying component does not explain: the slow part of the
// envelope's misfit in level and in phase against straight lines, beyond
// what the noise puts there, between `fromSeconds` and `toSeconds`. A
// companion too close to resolve beats slowly in both; the size of that
// beat over the spread of the times is how far it can pull the peak (and
// the decay's slope).
struct Misfit {
    double uncertaintyHz = 0.0;  // 0 when nothing beyond noise is left
    double slowRms = 0.0;        // the slow misfit's size (nepers and radians together)
    double timeSpread = 1.0;     // s, the weighted spread of the times
};
Misfit MeasureMisfit(const PartialEnvelope& envelope, double noiseVariance, double fromSeconds, double toSeconds,
                     std::int32_t length, double sampleRateHz);
