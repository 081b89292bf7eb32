#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "project/project.h"
#include "ring/outer_tuning.h"

// A bell's latest pass as the ring's tables show it, without its samples.
struct KeptPass {
    int bell = 0;
    std::int64_t id = 0;  // for Project::Load
    std::string pass;
    std::string time;
    std::string source;
    TuningReport tuning;
};

// The ring as a project keeps it, with every bell's latest pass: what the
// ring's outer and inner tuning are made from.
struct KeptRing {
    RingSettings ring;
    std::vector<RingBell> bells;
    std::vector<KeptPass> latest;       // bells with a pass only, treble first
    std::vector<BellMeasure> measures;  // the same bells' measures
};

// Reads `kept` from the open `project`: ProjectDone, or the first read's
// refusal (kept then partly filled). Loads each bell's latest pass once.
std::int16_t ReadKeptRing(const Project& project, KeptRing& kept);
