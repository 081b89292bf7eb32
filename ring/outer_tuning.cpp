#include "ring/outer_tuning.h"

#include <algorithm>
#include <cmath>

#include "partials/partial.h"
#include "ring/scale_targets.h"

namespace {

constexpr int kMaxBells = 64;

template <typename T>
const T* FindBell(const std::vector<T>& items, int bell, int T::*number) {
    for (const T& item : items) {
        if (item.*number == bell) return &item;
    }
    return nullptr;
}

std::optional<double> MeasuredNominal(const BellMeasure* measure) {
    if (measure == nullptr || !measure->nominalHz) return std::nullopt;
    const double hz = *measure->nominalHz;
    return hz > 0.0 && std::isfinite(hz) ? measure->nominalHz : std::nullopt;
}

}  // namespace

BellMeasure MeasureFromReport(int bell, const std::string& file, const TuningReport& report) {
    BellMeasure measure{bell, file, std::nullopt, report.strike, report.warnings};
    for (const TunedPartial& partial : report.partials) {
        if (partial.partialIndex == IndexOf(Partial::Nominal)) {
            measure.nominalHz = partial.frequencyHz;
            break;
        }
    }
    return measure;
}

OuterTuning MakeOuterTuning(const RingSettings& settings, const std::vector<RingBell>& bells,
                            const std::vector<BellMeasure>& measures) {
    OuterTuning tuning;
    const int count = std::min(settings.bellCount, kMaxBells);
    const bool anchorInRing = settings.anchorBell >= 1 && settings.anchorBell <= settings.bellCount;
    tuning.anchorBell = anchorInRing ? settings.anchorBell : settings.bellCount;
    tuning.referencePitchHz = settings.referencePitchHz;
    tuning.toleranceCents = settings.toleranceCents;

    const int anchor = tuning.anchorBell;
    const std::optional<double> anchorHz = MeasuredNominal(FindBell(measures, anchor, &BellMeasure::bell));
    const std::optional<double> anchorTarget =
        TargetCents(settings, FindBell(bells, anchor, &RingBell::number), anchor);

    for (int bell = 1; bell <= count; ++bell) {
        const RingBell* details = FindBell(bells, bell, &RingBell::number);
        const BellMeasure* measure = FindBell(measures, bell, &BellMeasure::bell);
        OuterTuningRow row;
        row.bell = bell;
        if (details != nullptr) {
            row.label = details->label;
            row.mayNotBeTuned = details->mayNotBeTuned;
        }
        if (measure != nullptr) {
            row.file = measure->file;
            row.strike = measure->strike;
            row.warnings = measure->warnings;
        }
        row.nominalHz = MeasuredNominal(measure);
        if (row.nominalHz) {
            row.note = NoteAtPitch(*row.nominalHz, settings.referencePitchHz);
            if (anchorHz) row.centsFromAnchor = 1200.0 * std::log2(*row.nominalHz / *anchorHz);
        }
        const std::optional<double> target = TargetCents(settings, details, bell);
        if (target && anchorTarget) row.targetCents = *target - *anchorTarget;
        if (row.centsFromAnchor && row.targetCents) {
            row.deviationCents = *row.centsFromAnchor - *row.targetCents;
            row.withinTolerance = std::abs(*row.deviationCents) <= settings.toleranceCents;
        }
        tuning.rows.push_back(std::move(row));
    }
    return tuning;
}
