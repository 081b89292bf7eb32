#pragma once
#include <string>

#include "analysis/analysis_request.h"
#include "analysis/spectrum.h"
#include "cycle/analysis_parameters.h"
#include "data/recording.h"
#include "partials/partial_table.h"
#include "tuning/strike_average.h"
#include "tuning/tuning_report.h"

// What the analysed recording is, as far as saving it is concerned.
enum class SoundState {
    None,      // nothing complete to save
    Saved,     // written to a file
    Recorded,  // a complete recording, not yet saved
};

// One bell as the program holds it: what was recorded, how it was analysed
// and what was found. A plain value: copy it to keep it (the samples are
// shared, never copied).
struct Bell {
    // As captured, and as analysed: stretched by the speed adjustment (the
    // same samples at a factor of 1). "Save recording" writes the analysed one.
    Recording recording;
    Recording analysed;
    SoundState sound = SoundState::None;
    // Clipped and padded samples of the recording before the stretch.
    RecordingFacts facts;
    // The parameters it was analysed with and the transform's request (its
    // band, interval, stretch and the sound file's name, empty for a live
    // recording).
    AnalysisParameters parameters;
    AnalysisRequest request;
    Spectrum spectrum;
    PartialTable table;
    // The tuning report of the table (measured from the analysed recording,
    // or from the table alone), and what it was made from, in words.
    TuningReport tuning;
    std::string tuningStatus;
    // The live strikes of this bell in continuous mode since the last reset.
    StrikeAverage strikes;
};
