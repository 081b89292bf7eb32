#pragma once
#include <string>
#include <vector>

#include "analysis/analysis_request.h"

// The six analysis parameters the main window reads from its edits, with
// the window's defaults. Frequencies and the interval in Hz.
struct AnalysisParameters {
    double startFrequency = 0.0;  // "Start Freq."
    double endFrequency = 5000.0; // "End Freq."
    double interval = 0.5;        // "Interval (Hz)"
    double speedAdjust = 1.0;     // "Speed Adjust"
    double lowNominal = 0.0;      // "Low nominal"
    double highNominal = 5000.0;  // "High nominal"
};

// The parameters outside the ranges the window's edits check (start, end,
// low and high 0 ... 22000, interval 0.05 ... 5, speed 0.9 ... 1.1), one
// text per parameter, e.g. "--interval 6 is outside 0.05 ... 5". The window
// shows such a range message and still goes on with the value, so these are
// warnings; AcceptParameters decides.
std::vector<std::string> OutOfRangeParameters(const AnalysisParameters& parameters);

// What "Start analysis" does with the parameters before it arms the
// recorder: raises lowNominal to startFrequency when below it; sets
// highNominal to endFrequency when above it or not above startFrequency;
// then accepts only when start >= 0, end > start, 0 < steps <= 100001,
// end <= 22000, interval >= 0.05, 0.9 <= speed <= 1.1 and low < high, where
// steps = trunc((end - start) / interval). An interval of 0 (or any
// quotient that is not a finite number) counts as steps not positive; the
// quotient is never converted then. On true fills `request` as the window
// holds it: the band, interval and steps, firstSample 0, lastSample 88200,
// sampleRate 44100, recordLength trunc(44100 / interval). False means "Bad
// analysis parameters!"; the nominal limits are corrected in both cases.
bool AcceptParameters(AnalysisParameters& parameters, AnalysisRequest& request);
