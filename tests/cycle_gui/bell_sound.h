#pragma once
// A synthetic struck bell for the cycle tests: seven decaying partials with
// the nominal at 600.3 Hz, cut into capture blocks.
#include <cmath>
#include <cstdint>
#include <vector>

#include "audio/recorder.h"

struct BellPartial {
    int index;         // partial index: 0 hum, 1 prime, 2 tierce, 3 nominal, 4 superquint, 5 oct. nom., 6 quint
    double frequency;  // Hz
    double amplitude;  // sample units at the strike
    double decay;      // time constant, s
};

inline constexpr double kBellNominal = 600.3;

// Ratios slightly off the ideal ones, as in a real bell.
inline std::vector<BellPartial> TestBell() {
    const double f = kBellNominal;
    return {{0, 0.2505 * f, 4000, 3.0}, {1, 0.5012 * f, 3000, 2.0}, {2, 0.5975 * f, 5000, 1.5},
            {6, 0.748 * f, 1500, 1.0},  {3, f, 8000, 1.2},          {4, 1.503 * f, 2500, 0.8},
            {5, 2.01 * f, 2000, 0.6}};
}

// `count` samples at 44100 Hz from the strike on.
inline std::vector<std::int16_t> BellSamples(std::int32_t count) {
    const std::vector<BellPartial> bell = TestBell();
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const double t = i / 44100.0;
        double value = 0.0;
        for (std::size_t p = 0; p < bell.size(); ++p) {
            value += bell[p].amplitude * std::exp(-t / bell[p].decay) *
                     std::sin(2.0 * M_PI * bell[p].frequency * t + 0.7 * static_cast<double>(p));
        }
        samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(static_cast<std::int32_t>(value));
    }
    return samples;
}

// `quiet` blocks of low noise (peak 200, below any trigger above slider 0),
// then `samples` in blocks of 8192 (the last one padded with zeros).
inline std::vector<std::vector<std::int16_t>> BlocksOf(const std::vector<std::int16_t>& samples, int quiet = 0) {
    std::vector<std::vector<std::int16_t>> blocks;
    for (int b = 0; b < quiet; ++b) {
        std::vector<std::int16_t> block(kCaptureBlockSamples);
        for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::int16_t>(i % 401) - 200;
        blocks.push_back(block);
    }
    for (std::size_t first = 0; first < samples.size(); first += kCaptureBlockSamples) {
        std::vector<std::int16_t> block(kCaptureBlockSamples, 0);
        for (std::size_t i = 0; i < block.size() && first + i < samples.size(); ++i) block[i] = samples[first + i];
        blocks.push_back(block);
    }
    return blocks;
}

// Blocks needed for a recording of `length` samples.
inline int BlocksFor(std::int32_t length) {
    return (length + kCaptureBlockSamples - 1) / kCaptureBlockSamples;
}
