#pragma once
#include <string>
#include <vector>

#include "ring/inner_tuning.h"
#include "ring/outer_tuning.h"
#include "ring/tuning_units.h"

// The ring's tuning as text for the tool: aligned tables for people and csv
// for spreadsheets. Numbers never depend on the user's locale. Plain C++,
// any thread.

// The ring's pitch: the note of the tenor's nominal (the last row's) at the
// reference pitch, its offset from that note in `units`, and the reference:
// "E(0) -12.00 cents at A = 440 Hz", "Eb(0) +1.9 sixteenths at A = 435 Hz";
// "unknown (tenor not measured) at A = 440 Hz" without the tenor's nominal.
std::string RingPitchText(const OuterTuning& tuning, TuningUnits units);

// The outer tuning for people: the ring's pitch, the anchor and the
// tolerance, then one line per bell with the columns Bell, Nominal (Hz)
// (three decimals), Note (its name) and Note (the nominal's offset from
// it), From anchor, Target, Deviation (these four in `units`), a "*" after
// a deviation outside the tolerance, Strike (Hz, three decimals) and
// Warnings (their codes, each once, in the order found); "-" for a value
// not known; then, when a "*" was shown, what it means. Ends with a blank
// line.
std::string FormatOuterTuningTable(const OuterTuning& tuning, TuningUnits units);

// Which figures the inner tuning table shows of each partial.
enum class InnerFigures {
    Deviation,         // from the ideal
    CentsFromNominal,  // as measured
};

// The inner tuning for people: a line saying which figures in which units
// (and against which ideal, from the first row), then one line per row
// with Bell and a column per partial in kRingPartialOrder, "-" for a figure
// not known and a "d" after the figure of a split partial (a doublet);
// then, when a "d" was shown, what it means. Ends with a blank line.
std::string FormatInnerTuningTable(const std::vector<InnerTuningRow>& rows, InnerFigures figures,
                                   TuningUnits units);

// The header line of the ring's csv, with its line end:
// bell,file,nominal,note,note_cents,cents_from_anchor,target,deviation,strike
// then NAME_cents,NAME_deviation for each partial in kRingPartialOrder,
// NAME the partial's name with every run of other characters than letters
// and digits made one "_" and none at the end: hum, prime, tierce, quint,
// nominal, superquint, oct_nom.
std::string RingCsvHeader();

// One bell's csv line, with its line end, in the header's columns: nominal
// and strike in Hz, the rest in cents whatever the units shown elsewhere,
// every number the shortest text that reads back exactly; the note is
// NoteAtPitch's name; empty fields for values not known; the file quoted
// where it holds a comma, a quote or a line end. `inner` is the same
// bell's row (a row with only its number for a bell not measured).
std::string FormatRingCsvLine(const OuterTuningRow& outer, const InnerTuningRow& inner);
