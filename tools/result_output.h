#pragma once
#include <string>
#include <string_view>

#include "analysis/analysis_request.h"
#include "analysis/spectrum.h"
#include "partials/partial_table.h"
#include "cycle/analysis_parameters.h"
#include "cycle/capture_emulation.h"
#include "tuning/tuning_report.h"

// The texts campanor-analyse writes for one analysed file, besides the
// partials file itself (FormatPartials). Every number is formatted without
// regard to the user's locale.

// What the json output records about how a file was analysed.
struct AnalysisSettings {
    AnalysisParameters parameters;  // after the nominal limits were corrected
    AnalysisRequest request;        // steps, recordLength, ...
    bool waitForTrigger = true;
    int triggerLevel = 25;
    int triggerThreshold = 25 * 327;  // the sample value a block must exceed
    bool autoTrigger = false;
    CaptureResult capture;
};

// For people: the file name, the nominal (or "none"), then one aligned line
// per row: frequency (Hz, 3 decimals), amplitude (6 significant digits),
// cents (1 decimal), partial name and note; an empty line ends it.
std::string FormatResultTable(std::string_view fileName, const PartialTable& table);

// One JSON object on one line, ending in a newline:
// {"file":..., "parameters":{...}, "nominal":..., "rows":[{...}, ...]}, with
// "clipped_samples", "warnings" (FormatTuningWarningsJson) and
// "tuning":{...} (FormatTuningJson) last when a report is given.
// Strings are escaped (quotes, backslashes, control characters; bytes that
// are not UTF-8 become U+FFFD); numbers are the shortest text that reads
// back as the same double.
std::string FormatResultJson(std::string_view fileName, const AnalysisSettings& settings,
                             const PartialTable& table, const TuningReport* tuning = nullptr);

// The spectrum as CSV: the line "frequency_hz,magnitude", then one line per
// point j = 0 ... steps: startFrequency + j x interval and the magnitude,
// both at full precision (shortest text that reads back exactly); the
// header alone when the spectrum is not measured.
std::string FormatSpectrumCsv(const Spectrum& spectrum);

// The JSON form of a string, quotes included.
std::string JsonString(std::string_view text);
