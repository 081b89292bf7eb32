#include "tuning/strike_average.h"

#include <cmath>

#include "partials/partial.h"

namespace {

constexpr std::int16_t kNominal = IndexOf(Partial::Nominal);

const TunedPartial* FirstRow(const TuningReport& report, std::int16_t partialIndex) {
    for (const TunedPartial& p : report.partials) {
        if (p.partialIndex == partialIndex) return &p;
    }
    return nullptr;
}

}  // namespace

void RunningStatistic::Add(double value) {
    ++count;
    const double before = value - mean;
    mean += before / count;
    squaredDeviations += before * (value - mean);
}

double RunningStatistic::StandardDeviation() const {
    return count > 1 ? std::sqrt(squaredDeviations / (count - 1)) : 0.0;
}

void StrikeAverage::Reset() {
    *this = StrikeAverage{};
}

bool StrikeAverage::Add(const TuningReport& report) {
    const TunedPartial* nominal = FirstRow(report, kNominal);
    const double nominalHz = nominal != nullptr ? nominal->frequencyHz : 0.0;
    // Every accepted strike has added its nominal, so the nominal's own mean
    // is the mean of the accepted nominals.
    const double meanHz = partials_[kNominal].frequencyHz.mean;
    const bool usable = std::isfinite(nominalHz) && nominalHz > 0.0;
    if (!usable || (accepted_ > 0 && std::abs(1200.0 * std::log2(nominalHz / meanHz)) > kNominalToleranceCents)) {
        ++rejected_;
        return false;
    }
    ++accepted_;
    std::array<bool, kPartialCount> seen{};
    for (const TunedPartial& p : report.partials) {
        if (p.partialIndex < 0 || p.partialIndex >= kPartialCount || seen[static_cast<std::size_t>(p.partialIndex)]) {
            continue;
        }
        seen[static_cast<std::size_t>(p.partialIndex)] = true;
        PartialAverage& average = partials_[static_cast<std::size_t>(p.partialIndex)];
        if (std::isfinite(p.frequencyHz)) average.frequencyHz.Add(p.frequencyHz);
        if (p.deviationCents.has_value() && std::isfinite(*p.deviationCents)) {
            average.deviationCents.Add(*p.deviationCents);
        }
    }
    return true;
}

const PartialAverage& StrikeAverage::partial(std::int16_t partialIndex) const {
    static const PartialAverage kNone{};
    if (partialIndex < 0 || partialIndex >= kPartialCount) return kNone;
    return partials_[static_cast<std::size_t>(partialIndex)];
}
