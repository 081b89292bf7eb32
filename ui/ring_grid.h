#pragma once
#include <array>
#include <string>
#include <vector>

#include "ring/bell_history.h"
#include "ring/outer_tuning.h"
#include "ring/ring_text.h"
#include "ui/text_grid.h"

// The ring's tables as the window and the ring's report show them. Plain
// C++ (no widgets), any thread.

// One row per bell, treble first: "Bell", "Label", "Pass", "Nominal (Hz)",
// "Note", "From anchor", "Target", "Deviation", "Strike (Hz)", then each
// partial of kRingPartialOrder with its inner figures (a split partial as
// "partial / companion"), then "Warnings". The deviations (outer, and inner
// when `figures` shows them) are judged against the ring's tolerance.
// `passes` holds the pass shown of each bell by number (index bell - 1;
// shorter, or "", for bells without one).
TextGrid MakeRingGrid(const OuterTuning& outer, const std::vector<InnerTuningRow>& inner,
                      const std::vector<std::string>& passes, TuningUnits units, InnerFigures figures);

// A bell's history: a row per partial, then for each pass a column of its
// frequency and cents from the nominal ("600.123 Hz, -1200.00") and one of
// its change since the pass before, and last "Remains" (to the target),
// judged against `toleranceCents`.
TextGrid MakeHistoryGrid(const std::vector<std::string>& passes, const std::array<HistoryRow, kNamedPartials>& rows,
                         TuningUnits units, double toleranceCents);
