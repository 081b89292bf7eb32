#include "ring/inner_tuning.h"

#include <cmath>

const TunedPartial* FindPartial(const TuningReport& report, Partial partial) {
    for (const TunedPartial& tuned : report.partials) {
        if (tuned.partialIndex == IndexOf(partial)) return &tuned;
    }
    return nullptr;
}

InnerTuningRow MakeInnerTuning(int bell, const TuningReport& report, const IdealTuning& ideal) {
    InnerTuningRow row;
    row.bell = bell;
    row.idealName = ideal.name;
    const bool hasNominal = FindPartial(report, Partial::Nominal) != nullptr;
    for (std::size_t column = 0; column < kRingPartialOrder.size(); ++column) {
        const Partial partial = kRingPartialOrder[column];
        const TunedPartial* tuned = FindPartial(report, partial);
        if (tuned == nullptr) continue;
        InnerPartial& out = row.partials[column];
        if (tuned->doublet) out.doubletHz = tuned->doublet->frequencyHz;
        if (!hasNominal) continue;
        out.centsFromNominal = tuned->cents;
        const std::optional<double>& idealCents = ideal.centsByPartial[static_cast<std::size_t>(IndexOf(partial))];
        if (idealCents) out.deviationCents = tuned->cents - *idealCents;
        if (tuned->doublet) {
            out.doubletCents = tuned->cents + 1200.0 * std::log2(tuned->doublet->frequencyHz / tuned->frequencyHz);
        }
    }
    return row;
}
