#pragma once
#include "analysis/analysis_request.h"
#include "cycle/analysis_parameters.h"
#include "tools/tool_options.h"
#include "tuning/ideal_tuning.h"

// campanor-analyse --ring and --project: a ring's outer and inner tuning
// from its bells' files, and a tower's project file kept and printed.
// Messages go to standard error; each returns the exit status (0, 1 for a
// file or project that could not be read, analysed or written, 2 for a
// refusal of what was asked).

// --ring FILE...: the files are the ring's bells, treble first, the last the
// tenor (with --bells N, the heaviest of N bells). Every file is analysed;
// one that cannot be is named and the others are still reported (status 1).
// --format table (the default here): the outer, then the inner tuning;
// json: {"ring": {...}}; csv: a line per bell.
int RunRing(const ToolOptions& options, const AnalysisParameters& parameters, const AnalysisRequest& request,
            const IdealTuning& ideal);

// --project P.campanor:
//   with --bell N FILE [--pass LABEL]: FILE analysed and kept as the bell's
//   next pass (the project made when missing, --bells N bells, 8 without;
//   the other ring options given are kept in it), then that bell's outer
//   tuning row; a bell outside the ring or a label the bell has is refused
//   (status 2);
//   with --bell N --pass LABEL --extract OUT.wav: the pass's recording as
//   captured, and on standard output the options that analyse it again;
//   alone: the ring from each bell's latest pass, then each bell's history
//   (json: {"ring": {...}, "history": [...]}).
// A project that cannot be opened (newer, not a project, busy, missing for
// reading) is status 1 with a message naming it.
int RunProject(const ToolOptions& options, const AnalysisParameters& parameters, const AnalysisRequest& request,
               const IdealTuning& ideal);
