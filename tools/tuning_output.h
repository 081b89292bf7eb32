#pragma once
#include <string>
#include <string_view>

#include "tuning/tuning_report.h"

// The tuning report as campanor-analyse writes it. Numbers never depend on
// the user's locale.

// The value of the json output's "tuning" key, on one line:
// {"ideal":..., "strike":{..., "from":[names]} or null, "partials":[{...},
// ...]}; numbers at full precision (the shortest text that reads back
// exactly), null where a value is unknown.
std::string FormatTuningJson(const TuningReport& report);

// Its pieces: the strike note object (or null), the array of partial
// objects, and an array of warning objects {"code", "text"}.
std::string FormatStrikeJson(const TuningReport& report);
std::string FormatTunedPartialsJson(const TuningReport& report);
std::string FormatWarningsJson(const std::vector<TuningWarning>& warnings);

// The members the json output's file object gains from the report, without
// braces: "clipped_samples":N,"warnings":[{"code":...,"text":...}, ...]
// (an empty list when all is well).
std::string FormatTuningWarningsJson(const TuningReport& report);

// For people, after the partial table: one aligned line per named partial
// (frequency +- uncertainty with the digits the uncertainty justifies,
// cents, ideal, deviation, T60, doublet), then the strike note (with the
// partials it was fitted to), one "Warning (code): text" line per warning
// and a blank line.
std::string FormatTuningTable(const TuningReport& report);

// The header line of the csv output.
std::string TuningCsvHeader();

// One csv line per named partial: file, partial, frequency, uncertainty,
// cents, ideal, deviation, t60, doublet frequency, note, and the report's
// warning codes (each once, separated by ";"; the same on every line of the
// file); empty fields where a value is unknown; fields quoted where they hold a comma, quote or line end.
std::string FormatTuningCsv(std::string_view fileName, const TuningReport& report);
