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

std::vector<TuningRow> MakeTuningRows(const TuningReport& report, const StrikeAverage& strikes,
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
        const PartialAverage& a = strikes.partial(p.partialIndex);
        const std::string spread = std::string(" ") + kPlusMinus + " ";
        if (a.frequencyHz.count > 0) {
            const double sd = a.frequencyHz.StandardDeviation();
            row.mean = sd > 0.0 ? FrequencyWithUncertainty(a.frequencyHz.mean, sd, kPlusMinus)
                                : FixedText(a.frequencyHz.mean, 4) + spread + "0";
        }
        if (a.deviationCents.count > 0) {
            row.meanDeviation = FixedText(a.deviationCents.mean, 2, true) + spread +
                                FixedText(a.deviationCents.StandardDeviation(), 2);
            row.meanStanding = StandingOf(a.deviationCents.mean, toleranceCents);
        }
        rows.push_back(row);
    }
    return rows;
}

std::string AveragingText(const StrikeAverage& strikes) {
    if (strikes.accepted() + strikes.rejected() == 0) return "";
    const auto count = [](std::int32_t n) { return std::to_string(n) + (n == 1 ? " strike" : " strikes"); };
    std::string text = count(strikes.accepted()) + " averaged since Reset";
    if (strikes.rejected() > 0) {
        text += ", " + count(strikes.rejected()) + " left out (no nominal, or one more than 50 cents from the others)";
    }
    return text + ".";
}
