#pragma once
#include <optional>
#include <string>
#include <vector>

#include "ring/note_at_pitch.h"
#include "ring/ring.h"
#include "tuning/tuning_report.h"

// A ring's outer tuning: the bells' nominals against each other and against
// the targets of ring/scale_targets.h. Plain C++, any thread.

// What is known of one bell's measurement.
struct BellMeasure {
    int bell = 0;          // 1 = treble ... bellCount = tenor
    std::string file;      // the recording or partials file measured; "" for none
    std::optional<double> nominalHz;  // empty: not measured yet
    std::optional<StrikeNote> strike;
    std::vector<TuningWarning> warnings;
};

// A bell's measure from its tuning report: the frequency of its nominal
// (the first partial named nominal; empty without one), its strike note and
// its warnings.
BellMeasure MeasureFromReport(int bell, const std::string& file, const TuningReport& report);

// One bell's row. Cents are always cents here; ring/tuning_units.h converts
// them for showing.
struct OuterTuningRow {
    int bell = 0;
    std::string label;  // the bell's details' label, "" without details
    bool mayNotBeTuned = false;
    std::string file;
    std::optional<double> nominalHz;
    std::optional<PitchNote> note;           // of the nominal, at the ring's reference pitch
    std::optional<double> centsFromAnchor;   // 1200 log2(nominal / the anchor's nominal)
    std::optional<double> targetCents;       // the bell's target less the anchor's target
    std::optional<double> deviationCents;    // centsFromAnchor - targetCents
    std::optional<bool> withinTolerance;     // |deviation| <= tolerance; empty without a deviation
    std::optional<StrikeNote> strike;
    std::vector<TuningWarning> warnings;
};

struct OuterTuning {
    int anchorBell = 0;  // the bell the figures are relative to, by number: the tenor's for settings' 0
    double referencePitchHz = 440.0;
    double toleranceCents = 10.0;
    std::vector<OuterTuningRow> rows;  // one per bell, the treble (1) first, the tenor last
};

// The outer tuning of the ring `settings` describes: a row for every bell
// 1 ... bellCount (the first 64 of a larger count, none for a count below
// 1), with the details
// in `bells` and the measure in `measures` that have its number (the first
// of each; any order; others ignored). Degrees count from the tenor, but
// the anchor fixes the pitch: nominals and targets are both taken relative
// to the anchor's, so the anchor's deviation is 0 once it is measured and
// has a target. An anchor of 0, or one outside the ring, is the tenor. A
// nominal that is not finite and above zero counts as not measured.
// Without the anchor's nominal no bell has cents from the anchor, without
// its target no bell has a target; either way no bell has a deviation.
OuterTuning MakeOuterTuning(const RingSettings& settings, const std::vector<RingBell>& bells,
                            const std::vector<BellMeasure>& measures);
