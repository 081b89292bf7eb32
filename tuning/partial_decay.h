#pragma once
#include <complex>
#include <optional>
#include <vector>

// What a partial's complex envelope says about it: how fast it decays, how
// much of it an exponential decay does not explain, and its amplitude over
// time. Plain C++, any thread.
struct PartialDecay {
    std::optional<double> t60Seconds;  // time to fall by 60 dB; empty when unknown
    double noiseVariance = 0.0;        // per sample, of what the decay leaves unexplained
    std::vector<double> amplitude;     // per block: the partial's amplitude (sample units)
};

// `envelope` is LocalTransform::Envelope at the partial's frequency (one sum
// of `blockSamples` mixed-down samples per block, `blockRateHz` blocks a
// second). It is smoothed with a Hann kernel `smoothingSeconds` long (short
// enough to shut out the nearest other partial), and a straight line is
// fitted to its level from its maximum on, over the points at least 20 dB
// above what the fit leaves unexplained. T60 is left empty with fewer than
// four such points, no decay, or a slope known to worse than a third.
PartialDecay MeasureDecay(const std::vector<std::complex<double>>& envelope, int blockSamples,
                          double blockRateHz, double smoothingSeconds);
