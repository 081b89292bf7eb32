#pragma once
#include <string>

#include "analysis/analysis_request.h"
#include "cycle/analysis_parameters.h"
#include "data/recording.h"
#include "partials/partial_table.h"
#include "tools/tool_options.h"
#include "tuning/ideal_tuning.h"
#include "tuning/tuning_report.h"

// One bell's file as the ring and project modes take it: recorded through
// the trigger as the window records it, analysed, its tuning report made.
struct AnalysedBell {
    Recording recording;  // as captured, before the speed adjustment
    AnalysisParameters parameters;
    PartialTable table;
    TuningReport tuning;
};

// False with `error` (the reason in words) when the file cannot be read,
// the trigger never fires or no partials could be named.
bool AnalyseBellFile(const ToolOptions& options, const AnalysisParameters& parameters, const AnalysisRequest& request,
                     const IdealTuning& ideal, const std::string& path, AnalysedBell& bell, std::string& error);
