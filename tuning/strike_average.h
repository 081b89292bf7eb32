#pragma once
#include <array>
#include <cstdint>

#include "tuning/tuning_report.h"

// Averages of the tuning reports of several strikes of one bell, so that a
// tuner sees whether a reading repeats: for each partial, the mean and the
// spread of its precise frequency and of its deviation from the ideal.
// Plain C++, no Qt; one thread at a time.

// Count, mean and sample standard deviation of a series of values, kept with
// Welford's running update, which stays exact to rounding however large the
// values are beside their spread.
struct RunningStatistic {
    std::int32_t count = 0;
    double mean = 0.0;               // 0 while count is 0
    double squaredDeviations = 0.0;  // sum of (value - mean)^2

    void Add(double value);
    // sqrt(squaredDeviations / (count - 1)); 0 for fewer than two values.
    double StandardDeviation() const;
};

// One partial over the accepted strikes. A strike adds to frequencyHz when
// its report names the partial, and to deviationCents when that row also
// has a deviation from the ideal (TunedPartial::deviationCents not empty);
// a count of 0 means no value (mean and deviation are then 0).
struct PartialAverage {
    RunningStatistic frequencyHz;
    RunningStatistic deviationCents;
};

class StrikeAverage {
public:
    // Partials by TunedPartial::partialIndex (into PartialTable::partialNames:
    // hum 0, prime 1, tierce 2, nominal 3, superquint 4, oct. nom. 5, quint 6).
    static constexpr std::int16_t kPartialCount = 7;
    // A strike whose nominal lies further than this from the mean of the
    // accepted nominals is taken for another bell or a misreading.
    static constexpr double kNominalToleranceCents = 50.0;

    // Forgets every strike: all counts 0.
    void Reset();

    // Adds the report's partials (the first row of each partialIndex 0 ... 6;
    // rows of other indices and non-finite values are passed over) and
    // returns true. Refuses the strike, changing nothing but rejected(), when
    // the report has no nominal (or one not a positive finite frequency) or,
    // after the first accepted strike, its nominal differs by more than
    // kNominalToleranceCents from the mean of the accepted nominals.
    bool Add(const TuningReport& report);

    std::int32_t accepted() const { return accepted_; }
    std::int32_t rejected() const { return rejected_; }
    // The averages of partialIndex 0 ... 6; empty ones (count 0) for any other index.
    const PartialAverage& partial(std::int16_t partialIndex) const;

private:
    std::array<PartialAverage, kPartialCount> partials_{};
    std::int32_t accepted_ = 0;
    std::int32_t rejected_ = 0;
};
