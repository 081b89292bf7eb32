// Synthetic bells whose every component is known: sums of exponentially
// decaying sines plus white noise, and the things real recordings add
// (a DC offset, a strike transient, a second strike, clipping).
#pragma once
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "partials/partial_table.h"

namespace bells {

constexpr double kRate = 44100.0;
constexpr std::int16_t kHum = 0, kPrime = 1, kTierce = 2, kNominal = 3, kSuperquint = 4, kOctave = 5, kQuint = 6;

struct Tone {
    double hz;
    double amplitude;  // at the start, sample units
    double t60;        // s
    std::int16_t partial = NoPartial;  // the name the table gives it
    double phase = -1.0;               // radians at the start; at random when negative
};

struct Extras {
    double dcOffset = 0.0;
    double burstAmplitude = 0.0;  // rms of a noise burst at the strike
    double burstSeconds = 0.0;
    double secondStrikeSeconds = 0.0;  // 0: none; else every tone starts again, at its first amplitude
    double gain = 1.0;                 // applied before rounding and clipping to 16 bits
};

// `count` samples at 44100 Hz with random phases from `seed`.
inline std::vector<std::int16_t> Synthesize(const std::vector<Tone>& tones, double noiseRms, unsigned seed,
                                            int count = 88200, const Extras& extras = {}) {
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss(0.0, 1.0);
    std::uniform_real_distribution<double> phase(0.0, 2.0 * std::numbers::pi);
    std::vector<double> v(static_cast<std::size_t>(count));
    for (double& x : v) x = noiseRms * gauss(random) + extras.dcOffset;
    const auto add = [&](int from) {
        for (const Tone& tone : tones) {
            // A phasor turned and shrunk each sample: exact to rounding, and fast.
            const std::complex<double> step = std::polar(std::exp(-std::log(1000.0) / (tone.t60 * kRate)),
                                                         2.0 * std::numbers::pi * tone.hz / kRate);
            const double drawn = phase(random);
            std::complex<double> z = std::polar(tone.amplitude, tone.phase >= 0.0 ? tone.phase : drawn);
            for (int n = from; n < count; ++n, z *= step) v[static_cast<std::size_t>(n)] += z.imag();
        }
    };
    add(0);
    if (extras.secondStrikeSeconds > 0.0) add(static_cast<int>(extras.secondStrikeSeconds * kRate));
    for (int n = 0; n < static_cast<int>(extras.burstSeconds * kRate) && n < count; ++n) {
        v[static_cast<std::size_t>(n)] += extras.burstAmplitude * gauss(random);
    }
    std::vector<std::int16_t> samples(v.size());
    for (std::size_t n = 0; n < v.size(); ++n) {
        samples[n] = static_cast<std::int16_t>(std::lround(std::clamp(v[n] * extras.gain, -32768.0, 32767.0)));
    }
    return samples;
}

// A table naming every named tone at the point of a `gridHz` grid nearest
// it, as the peak detection would; unnamed tones become unnamed rows.
inline PartialTable TableOf(const std::vector<Tone>& tones, double gridHz = 0.5) {
    std::vector<Tone> sorted = tones;
    std::sort(sorted.begin(), sorted.end(), [](const Tone& a, const Tone& b) { return a.hz < b.hz; });
    PartialTable table;
    for (const Tone& tone : sorted) {
        table.AddPeak(std::round(tone.hz / gridHz) * gridHz, 0.0, tone.amplitude, 0.0, 0.0, tone.partial);
    }
    return table;
}

// A bell at the usual ratios to its nominal, each partial off by up to
// +-`spreadCents` at random, with decay times that shorten up the bell.
inline std::vector<Tone> OrdinaryBell(double nominalHz, double spreadCents, std::mt19937& random) {
    std::uniform_real_distribution<double> off(-spreadCents, spreadCents), level(0.3, 1.0);
    struct Shape { std::int16_t partial; double ratio, t60; };
    const Shape shapes[] = {{kHum, 0.25, 40},        {kPrime, 0.5, 20},      {kTierce, 0.6, 12}, {kQuint, 0.75, 6},
                            {kNominal, 1.0, 8},      {kSuperquint, 1.5, 4},  {kOctave, 2.0, 3}};
    std::vector<Tone> tones;
    for (const Shape& s : shapes) {
        const double scale = 500.0 / nominalHz;  // smaller bells ring shorter
        tones.push_back({nominalHz * s.ratio * std::exp2(off(random) / 1200.0), 8000.0 * level(random),
                         s.t60 * std::min(1.0, scale), s.partial});
    }
    return tones;
}

}  // namespace bells
