#include "tuning/bell_synthesis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "partials/partial.h"

namespace {

// One decaying sine: amplitude (sample units) at t = 0, its frequency and
// its decay rate (1/s) and starting phase.
struct Component {
    double amplitude;
    double hz;
    double decayPerSecond;
    double phase;
};

const TunedPartial* Nominal(const TuningReport& report) {
    for (const TunedPartial& p : report.partials) {
        if (p.partialIndex == IndexOf(Partial::Nominal)) return &p;
    }
    return nullptr;
}

// The T60 of a partial that has none: the nominal's, else the longest.
double FallbackT60(const TuningReport& report) {
    const TunedPartial* nominal = Nominal(report);
    if (nominal != nullptr && nominal->t60Seconds) return *nominal->t60Seconds;
    double longest = 0.0;
    for (const TunedPartial& p : report.partials) longest = std::max(longest, p.t60Seconds.value_or(0.0));
    return longest > 0.0 ? longest : 5.0;
}

std::vector<Component> Components(const TuningReport& report, bool asTuned) {
    const TunedPartial* nominal = Nominal(report);
    const double fallback = FallbackT60(report);
    std::vector<Component> components;
    for (const TunedPartial& p : report.partials) {
        if (!p.levelDb) continue;
        double hz = p.frequencyHz;
        if (asTuned && nominal != nullptr && p.idealCents) hz = nominal->frequencyHz * std::exp2(*p.idealCents / 1200.0);
        // ln(1000) per T60: 60 dB down in T60 seconds.
        const double decay = std::log(1000.0) / p.t60Seconds.value_or(fallback);
        const double phase = 0.9 * static_cast<double>(components.size());
        components.push_back({32768.0 * std::pow(10.0, *p.levelDb / 20.0), hz, decay, phase});
        if (p.doublet && p.doublet->levelDb) {
            const double doubletHz = hz + (p.doublet->frequencyHz - p.frequencyHz);
            components.push_back({32768.0 * std::pow(10.0, *p.doublet->levelDb / 20.0), doubletHz, decay, phase + 2.1});
        }
    }
    return components;
}

}  // namespace

std::vector<std::int16_t> SynthesiseBell(const TuningReport& report, bool asTuned, std::int32_t length,
                                         double rateHz) {
    const std::vector<Component> components = Components(report, asTuned);
    if (components.empty() || length <= 0 || !(rateHz > 0.0)) return {};
    std::vector<double> sum(static_cast<std::size_t>(length), 0.0);
    // Each sine as a phasor turned by one complex factor a sample, set
    // exactly again at the start of every stretch so rounding never builds
    // up: a fifth of the time of a sine and an exponential per sample.
    constexpr std::size_t kStretch = 4096;
    for (const Component& c : components) {
        const double step = 2.0 * std::numbers::pi * c.hz / rateHz;
        const std::complex<double> turn = std::polar(std::exp(-c.decayPerSecond / rateHz), step);
        for (std::size_t first = 0; first < sum.size(); first += kStretch) {
            const double at = static_cast<double>(first);
            std::complex<double> phasor =
                std::polar(c.amplitude * std::exp(-c.decayPerSecond * at / rateHz), step * at + c.phase);
            const std::size_t last = std::min(sum.size(), first + kStretch);
            for (std::size_t i = first; i < last; ++i, phasor *= turn) sum[i] += phasor.imag();
        }
    }
    double largest = 0.0;
    for (const double v : sum) largest = std::max(largest, std::abs(v));
    std::vector<std::int16_t> samples(sum.size(), 0);
    if (!(largest > 0.0)) return samples;
    const double scale = kSynthesisPeak / largest;
    for (std::size_t i = 0; i < sum.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(static_cast<std::int32_t>(sum[i] * scale));
    }
    return samples;
}
