#include "ui/tuning_rows.h"

#include <cmath>

#include "tuning/tuning_text.h"

namespace {

const char* const kPlusMinus = "\u00b1";

std::string OrDash(const std::optional<double>& value, int decimals, bool sign = false) {
    return value ? FixedText(*value, decimals, sign) : "-";
}

}  // namespace

Standing StandingOf(const std::optional<double>& deviationCents, double toleranceCents) {
    if (!deviationCents || !std::isfinite(*deviationCents)) return Standing::None;
    const double size = std::abs(*deviationCents);
    if (size <= toleranceCents) return Standing::Within;
    return size <= 2.0 * toleranceCents ? Standing::Beyond : Standing::FarBeyond;
}

std::vector<TuningRow> MakeTuningRows(const TuningReport& report, const StrikeAverages& averages,
                                      double toleranceCents) {
    std::vector<TuningRow> rows;
    for (const TunedPartial& p : report.partials) {
        TuningRow row;
        row.partial = p.name;
        row.frequency = report.measured ? FrequencyWithUncertainty(p.frequencyHz, p.uncertaintyHz, kPlusMinus)
                                        : FixedText(p.frequencyHz, 3);
        row.cents = FixedText(p.cents, 2);
        row.ideal = OrDash(p.idealCents, 2);
        row.deviation = OrDash(p.deviationCents, 2, true);
        row.t60 = OrDash(p.t60Seconds, 1);
        row.doublet = p.doublet ? DoubletText(*p.doublet) : "-";
        row.standing = StandingOf(p.deviationCents, toleranceCents);
        const std::size_t index = static_cast<std::size_t>(p.partialIndex);
        if (index < averages.size() && averages[index] && averages[index]->strikes > 0) {
            const PartialAverage& a = *averages[index];
            row.mean = FrequencyWithUncertainty(a.meanHz, a.spreadHz, kPlusMinus);
            if (a.strikes == 1) row.mean = FixedText(a.meanHz, 4) + " " + kPlusMinus + " 0";
            if (a.meanDeviationCents) {
                row.meanDeviation = FixedText(*a.meanDeviationCents, 2, true) + " " + kPlusMinus + " " +
                                    FixedText(a.spreadDeviationCents.value_or(0.0), 2);
            }
            row.meanStanding = StandingOf(a.meanDeviationCents, toleranceCents);
        }
        rows.push_back(row);
    }
    return rows;
}
