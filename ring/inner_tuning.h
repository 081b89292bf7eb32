#pragma once
#include <array>
#include <optional>
#include <string>

#include "partials/partial.h"
#include "tuning/ideal_tuning.h"
#include "tuning/tuning_report.h"

// A bell's inner tuning as the ring's table shows it: its named partials
// against its own nominal and against the ring's ideal, taken from its
// tuning report. Plain C++, any thread.

// The ring's order of the partials, low to high: the columns of the inner
// tuning table and of the csv.
inline constexpr std::array<Partial, kNamedPartials> kRingPartialOrder = {
    Partial::Hum,     Partial::Prime,      Partial::Tierce,       Partial::Quint,
    Partial::Nominal, Partial::Superquint, Partial::OctaveNominal};

struct InnerPartial {
    std::optional<double> centsFromNominal;  // empty when the bell has no such partial, or no nominal
    std::optional<double> deviationCents;    // centsFromNominal less the ideal's; empty without either
    // The companion of a split partial: its frequency and its cents from the
    // nominal (the partial's cents plus 1200 log2(companion / partial)).
    std::optional<double> doubletHz;
    std::optional<double> doubletCents;
};

struct InnerTuningRow {
    int bell = 0;
    std::string idealName;
    std::array<InnerPartial, kNamedPartials> partials{};  // in kRingPartialOrder
};

// The first partial of the report named `partial`, or nullptr.
const TunedPartial* FindPartial(const TuningReport& report, Partial partial);

// The row of bell `bell` from its report, with deviations from `ideal`
// (whatever ideal the report was made against). The first partial of the
// report of each name counts. A report without a nominal gives no cents
// at all (they would be from nothing), but keeps its doublets' frequencies.
// A bell not measured is a row made with only its number.
InnerTuningRow MakeInnerTuning(int bell, const TuningReport& report, const IdealTuning& ideal);
