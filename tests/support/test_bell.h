// The one synthetic bell of the analysis and window tests: its partials a
// little off the ideal ratios, as in a real bell, ringing from the strike.
#pragma once
#include <cmath>
#include <cstdint>
#include <vector>

inline constexpr double kBellNominal = 600.3;

// Index (0 hum, 1 prime, 2 tierce, 3 nominal, 4 superquint, 5 oct. nom., 6 quint), frequency, amplitude and
// decay time (s) of one partial.
struct BellPartial { int index; double frequency, amplitude, decay; };

// The bell's partials by frequency.
inline const std::vector<BellPartial> kTestBell = {
    {0, 0.2505 * kBellNominal, 4000, 3.0}, {1, 0.5012 * kBellNominal, 3000, 2.0}, {2, 0.5975 * kBellNominal, 5000, 1.5},
    {6, 0.748 * kBellNominal, 1500, 1.0},  {3, kBellNominal, 8000, 1.2},          {4, 1.503 * kBellNominal, 2500, 0.8},
    {5, 2.01 * kBellNominal, 2000, 0.6}};

// `bell` `t` seconds after the strike, truncated to a sample; without decay it sounds for ever at half strength.
inline std::int16_t BellAt(double t, bool decays = true, const std::vector<BellPartial>& bell = kTestBell) {
    double value = 0.0, phase = 0.0;
    for (const BellPartial& p : bell) {
        value += p.amplitude * (decays ? std::exp(-t / p.decay) : 0.5) * std::sin(2.0 * M_PI * p.frequency * t + phase);
        phase += decays ? 0.7 : 0.0;
    }
    return static_cast<std::int16_t>(static_cast<std::int32_t>(value));
}

inline std::vector<std::int16_t> BellSamples(std::int32_t count, const std::vector<BellPartial>& bell = kTestBell) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = BellAt(static_cast<double>(i) / 44100.0, true, bell);
    return samples;
}
