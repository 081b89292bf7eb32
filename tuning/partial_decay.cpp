#include "tuning/partial_decay.h"

#include <algorithm>
#include <cmath>

#include "tuning/weighted_fit.h"

namespace {

// The level of each envelope value far enough above the noise, in time order.
struct LevelSeries {
    std::vector<double> t;      // s
    std::vector<double> level;  // ln |value|
    std::vector<double> power;  // |value|^2
};

LevelSeries Levels(const PartialEnvelope& envelope, double noise, double from, double to, double least) {
    LevelSeries s;
    for (std::size_t m = 0; m < envelope.values.size(); ++m) {
        const double t = static_cast<double>(m) / envelope.rateHz;
        const double p = std::norm(envelope.values[m]);
        if (t < from || t > to || p < least * noise) continue;
        s.t.push_back(t);
        s.level.push_back(0.5 * std::log(p));
        s.power.push_back(p);
    }
    return s;
}

// Weights from the line's own level (2 |model|^2 / noise, the inverse
// variance of a log level), so that beats and noise do not weight
// themselves; points before `start` get none.
std::vector<double> ModelWeights(const LevelSeries& s, const WeightedLine& line, std::size_t start, double noise) {
    std::vector<double> w(s.t.size(), 0.0);
    for (std::size_t i = start; i < s.t.size(); ++i) w[i] = 2.0 * std::exp(2.0 * line.At(s.t[i])) / noise;
    return w;
}

WeightedLine FitFrom(const LevelSeries& s, std::size_t start, double noise, WeightedLine line) {
    for (int pass = 0; pass < 2 && line.valid; ++pass) line = FitLine(s.t, s.level, ModelWeights(s, line, start, noise));
    return line;
}

// How far the slope could be off because of what the line leaves
// unexplained slowly (a beat slower than the span, a bend), beyond noise:
// the slow misfit's size over the spread of the times.
double SlopeDoubt(const LevelSeries& s, std::size_t start, const WeightedLine& line, double noise,
                  double independentPerValue) {
    std::vector<double> t, r, w;
    double noiseMean = 0.0, tMean = 0.0;
    for (std::size_t i = start; i < s.t.size(); ++i) {
        t.push_back(s.t[i]);
        r.push_back(s.level[i] - line.At(s.t[i]));
        w.push_back(1.0);
        noiseMean += noise / (2.0 * s.power[i]);
        tMean += s.t[i];
    }
    const double n = static_cast<double>(t.size());
    noiseMean /= n;
    tMean /= n;
    double tSquares = 0.0;
    for (double v : t) tSquares += (v - tMean) * (v - tMean);
    const double independent = std::max(4.0, n * independentPerValue);
    // Noise alone puts about 2 / independent of its variance into the
    // quadratic and cubic; allow three times that.
    const double systematic = std::max(0.0, SlowMeanSquare(t, r, w) - 6.0 * noiseMean / independent);
    return std::sqrt(systematic) / std::sqrt(tSquares / n);
}

}  // namespace

PartialDecay MeasureDecay(const PartialEnvelope& envelope, double noiseVariance, double endSeconds) {
    PartialDecay decay;
    const double noise = noiseVariance * envelope.unitNoiseVariance;
    const double usableEnd = envelope.usable / envelope.rateHz;
    const double from = envelope.settleSeconds;
    const double to = std::min(endSeconds, usableEnd) - envelope.settleSeconds;
    // 20 dB above the noise, where it barely bends the log level; a partial
    // too weak for that still gets a rough line (for its amplitude) from
    // what stands 10 dB above, but no T60.
    LevelSeries s = Levels(envelope, noise, from, to, 100.0);
    const bool strong = s.t.size() >= 6 && s.t.back() - s.t.front() >= 0.1;
    if (!strong) s = Levels(envelope, noise, from, to, 10.0);
    if (s.t.size() < 6 || s.t.back() - s.t.front() < 0.1) return decay;

    // First from a little after the strike, where its transient has gone.
    const double lateFrom = s.t.front() + std::min(0.15, 0.25 * (s.t.back() - s.t.front()));
    std::size_t start = 0;
    while (start + 3 < s.t.size() && s.t[start] < lateFrom) ++start;
    std::vector<double> w(s.t.size(), 0.0);
    for (std::size_t i = start; i < s.t.size(); ++i) w[i] = 2.0 * s.power[i] / noise;
    WeightedLine line = FitFrom(s, start, noise, FitLine(s.t, s.level, w));
    if (!line.valid) return decay;
    // Back towards the strike while the earlier values follow the line.
    while (start > 0) {
        const std::size_t i = start - 1;
        const double tolerance = 3.0 * std::sqrt(noise / (2.0 * s.power[i])) + 0.05;
        if (std::abs(s.level[i] - line.At(s.t[i])) > tolerance) break;
        start = i;
    }
    line = FitFrom(s, start, noise, line);
    if (!line.valid) return decay;
    decay.fitted = true;
    decay.logStart = line.At(0.0);
    decay.slope = line.slope;
    decay.fromSeconds = s.t[start];
    decay.toSeconds = s.t.back();

    // Neighbouring values share noise: count only the independent ones.
    const double independentPerValue = envelope.independentRateHz / envelope.rateHz;
    const double slopeNoise = std::sqrt(1.0 / line.spread / independentPerValue);
    const double doubt = SlopeDoubt(s, start, line, noise, independentPerValue);
    decay.irregular = strong && doubt > 0.1 * std::abs(line.slope);
    if (strong && line.slope < 0.0 && slopeNoise < -line.slope / 3.0 && !decay.irregular) {
        decay.t60Seconds = std::log(1000.0) / -line.slope;
    }
    return decay;
}
