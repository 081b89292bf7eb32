#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cycle/analysis_parameters.h"
#include "data/recording.h"
#include "partials/partial_table.h"
#include "tuning/tuning_report.h"

// One measurement ("pass") of one bell, everything a project file keeps of
// it: the recording as captured, the parameters it was analysed with, the
// partial table and the tuning report.
struct Measurement {
    int bell = 0;        // 1 = treble ... the ring's bellCount
    std::string pass;    // "as received", "cut 1", ... or the tuner's own; unique per bell
    std::string time;    // local time with its offset (LocalTimeIso8601)
    std::string source;  // "live" or the sound file's name
    Recording recording;
    AnalysisParameters parameters;
    PartialTable table;
    TuningReport tuning;
};

// What a list of a bell's passes shows, read without the samples.
struct PassSummary {
    std::int64_t id = 0;  // for Project::Load; larger ids were kept later
    std::string pass;
    std::string time;
    std::string source;
    double nominalHz = 0.0;             // the partial table's nominal; 0 = none named
    std::vector<std::string> warnings;  // the tuning report's warning codes, in order
};
