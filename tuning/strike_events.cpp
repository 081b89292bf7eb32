#include "tuning/strike_events.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

std::int32_t StrikeOnset(const std::int16_t* samples, std::int32_t count) {
    int loudest = 0;
    for (std::int32_t i = 0; i < count; ++i) loudest = std::max(loudest, std::abs(int{samples[i]}));
    std::int32_t onset = 0;
    while (onset + 128 <= count - 1024) {
        const std::int16_t* block = samples + onset;
        int peak = 0;
        for (int i = 0; i < 128; ++i) peak = std::max(peak, std::abs(int{block[i]}));
        if (4 * peak >= loudest) break;
        onset += 128;
    }
    return onset;
}

std::int32_t SecondStrike(const std::int16_t* samples, std::int32_t count) {
    constexpr std::int32_t kStretch = 1024;
    std::vector<double> energy;
    for (std::int32_t start = 0; start + kStretch <= count; start += kStretch) {
        double e = 0.0;
        for (std::int32_t i = start; i < start + kStretch; ++i) e += static_cast<double>(samples[i]) * samples[i];
        energy.push_back(e);
    }
    if (energy.empty()) return -1;
    const double loudest = *std::max_element(energy.begin(), energy.end());
    // From the tenth stretch: the strike's own attack lies in the first. The
    // stretch just before may hold the new strike's start, so the rise is
    // measured against the seven before that.
    for (std::size_t j = 9; j < energy.size(); ++j) {
        const double before = *std::max_element(energy.begin() + static_cast<std::ptrdiff_t>(j - 8),
                                                energy.begin() + static_cast<std::ptrdiff_t>(j - 1));
        if (energy[j] >= 1.8 * before && energy[j] >= 0.25 * loudest) return static_cast<std::int32_t>(j - 1) * kStretch;
    }
    return -1;
}
