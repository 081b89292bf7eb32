#pragma once
// Test sounds: sums of exponentially decaying sines at known frequencies,
// levels and T60s, plus white noise at a known level, as 16-bit samples.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "partials/partial_table.h"

struct Tone {
    double hz;
    double amplitude;  // at the start, sample units
    double t60;        // s
    std::int16_t partial = NoPartial;  // the name the table gives it
};

inline std::vector<std::int16_t> Synthesize(const std::vector<Tone>& tones, double noiseRms,
                                            unsigned seed, int count = 88200, double rate = 44100.0) {
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, noiseRms);
    std::uniform_real_distribution<double> phase(0.0, 2.0 * std::numbers::pi);
    std::vector<double> phases;
    for (std::size_t i = 0; i < tones.size(); ++i) phases.push_back(phase(random));
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    for (int n = 0; n < count; ++n) {
        const double t = n / rate;
        double v = noise(random);
        for (std::size_t i = 0; i < tones.size(); ++i) {
            v += tones[i].amplitude * std::exp(-std::log(1000.0) * t / tones[i].t60) *
                 std::sin(2.0 * std::numbers::pi * tones[i].hz * t + phases[i]);
        }
        samples[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(std::lround(std::clamp(v, -32768.0, 32767.0)));
    }
    return samples;
}

// A table naming every named tone at the 0.5 Hz grid point nearest it, as
// the peak detection would.
inline PartialTable TableOf(const std::vector<Tone>& tones) {
    PartialTable table;
    for (const Tone& tone : tones) {
        if (tone.partial == NoPartial) continue;
        table.AddPeak(std::round(tone.hz * 2.0) / 2.0, 0.0, tone.amplitude, 0.0, 0.0, tone.partial);
    }
    return table;
}
