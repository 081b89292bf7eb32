#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "ring/inner_tuning.h"

// One bell's passes side by side: how each cut moved every partial and
// what remains to be done. Plain C++, any thread.

// What one pass gives the history.
struct HistoryPass {
    std::string pass;  // "as received", "cut 1", ...
    TuningReport tuning;
    // The nominal's deviation from its target in the ring's outer tuning
    // (OuterTuningRow::deviationCents); empty when not known.
    std::optional<double> nominalDeviationCents;
};

// One partial in one pass.
struct HistoryCell {
    std::optional<double> frequencyHz;
    std::optional<double> centsFromNominal;
    // How far the partial moved since the pass before: 1200 log2(f / f
    // before); empty for the first pass or when either pass lacks it.
    std::optional<double> changeCents;
};

// One partial over all passes, in kRingPartialOrder.
struct HistoryRow {
    Partial partial = Partial::Nominal;
    std::vector<HistoryCell> cells;  // one per pass, in the passes' order
    // What the latest pass leaves to its target, cents: the ideal less its
    // cents from the nominal (for the nominal itself, the ring's target less
    // its place: minus the outer deviation). Empty when not known.
    std::optional<double> remainingCents;
};

// The seven rows of `passes` (kept order) against `ideal`. The first
// partial of each name in a report counts.
std::array<HistoryRow, kNamedPartials> MakeBellHistory(const std::vector<HistoryPass>& passes,
                                                        const IdealTuning& ideal);
