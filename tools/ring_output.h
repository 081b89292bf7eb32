#pragma once
#include <string>
#include <vector>

#include "ring/outer_tuning.h"
#include "ring/ring.h"
#include "tuning/tuning_report.h"

// The ring's figures as the tool prints them in JSON (numbers the shortest
// text that reads back exactly, null for what is not known).

// One bell of the ring as the tool found it: its report, or why not.
struct RingBellResult {
    int bell = 0;
    std::string file;
    std::string error;  // empty when analysed
    TuningReport tuning;
};

// {"reference_pitch":P,"scale":"major","temperament":"just","stretch":S,
// "anchor":N,"bells":[B,...]} with B = {"bell":n,"file":"...","nominal":Hz,
// "note":"...","note_cents":C,"cents_from_anchor":C,"target":C,
// "deviation":C,"strike":{...} or null,"warnings":[...],"partials":[...]},
// or {"bell":n,"file":"...","error":"..."}; a bell without a result gives
// its outer figures with an empty report. The temperament of a founder's
// file is the file's name; the anchor is the bell's number (the tenor's for
// 0).
std::string RingJson(const RingSettings& ring, const OuterTuning& outer, const std::vector<RingBellResult>& results);

// One pass of a bell's history: {"pass":"...","time":"...","source":"...",
// "nominal":Hz,"cents_from_anchor":C,"deviation":C,"warnings":[...],
// "partials":[...]}, the figures from `row`.
std::string PassJson(const std::string& pass, const std::string& time, const std::string& source,
                     const OuterTuningRow& row, const TuningReport& tuning);

// The temperament's word: "equal", "just", "meantone" or the founder's file.
std::string TemperamentName(const RingSettings& ring);
