#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "tuning/strike_average.h"
#include "tuning/tuning_report.h"

// What the tuning panel shows, as text: one row per named partial of a
// tuning report, with the averages over strikes beside it. Plain C++, no
// widgets; the panel only lays these out. Any thread.

// How a deviation from the ideal stands against the tuner's tolerance:
// within it (|d| <= tolerance), beyond it (up to twice), far beyond.
enum class Standing { None, Within, Beyond, FarBeyond };
Standing StandingOf(const std::optional<double>& deviationCents, double toleranceCents);

struct TuningRow {
    std::string partial;    // "hum" ... "oct. nom."
    std::string frequency;  // "640.1234 ± 0.0012", or the table's "640.000" without samples
    std::string cents;      // "-1200.03"
    std::string ideal;      // "-1200.00" or "-"
    std::string deviation;  // "+1.23" or "-"
    std::string t60;        // "12.3" or "-"
    std::string doublet;    // "641.52 Hz, -6.0 dB" or "-"
    std::string mean;       // "640.1230 ± 0.0040" (mean ± sample standard deviation) or ""
    std::string meanDeviation;  // "+1.20 ± 0.35" or ""
    Standing standing = Standing::None;      // of the deviation
    Standing meanStanding = Standing::None;  // of the mean deviation
};

// The rows of `report`, with each partial's averages over `strikes` beside
// it when the strikes hold it; deviations judged against `toleranceCents`.
std::vector<TuningRow> MakeTuningRows(const TuningReport& report, const StrikeAverage& strikes,
                                      double toleranceCents);

// The status line of the averaging: "3 strikes averaged since Reset", and
// how many were left out; empty before the first strike.
std::string AveragingText(const StrikeAverage& strikes);
