#pragma once
#include <cstdint>

#include "analysis/analysis_request.h"

// The rules for the six analysis parameters that "Start analysis" applies
// before it arms the recorder. The main window and campanor-analyse both
// use these, so the two always accept and correct the same values. Plain
// C++, no Qt; any one thread.

// The six parameters as the main window's edits hold them, with the
// window's defaults. Frequencies and the interval in Hz.
struct AnalysisParameters {
    double startFrequency = 0.0;  // "Start Freq."
    double endFrequency = 5000.0; // "End Freq."
    double interval = 0.5;        // "Interval (Hz)"
    double speedAdjust = 1.0;     // "Speed Adjust"
    double lowNominal = 0.0;      // "Low nominal"
    double highNominal = 5000.0;  // "High nominal"
};

// Bounds (both allowed) that the window's edits check when they are read.
// A value outside them only draws the range message; acceptance is decided
// by ParametersAcceptable.
struct ParameterRange {
    double minimum;
    double maximum;
};
inline constexpr ParameterRange kFrequencyRange{0.0, 22000.0};  // start, end, low and high nominal, Hz
inline constexpr ParameterRange kIntervalRange{0.05, 5.0};      // Hz
inline constexpr ParameterRange kSpeedAdjustRange{0.9, 1.1};

// The most spectrum intervals ("steps") an analysis may have.
inline constexpr std::int32_t kMaxSteps = 100001;

// The recording's sample rate, Hz.
inline constexpr std::int32_t kRecordingRate = 44100;

// steps = trunc((endFrequency - startFrequency) / interval), toward zero.
// A quotient that is not a finite number (interval 0) gives 0, so it counts
// as not positive; quotients beyond the accepted range are saturated to
// kMaxSteps + 1 and -1, which are refused all the same, so no conversion is
// ever out of range.
std::int32_t StepsFor(double startFrequency, double endFrequency, double interval);

// The nominal limits made to fit the band: lowNominal is raised to
// startFrequency when below it; highNominal becomes endFrequency when above
// it or not above startFrequency.
void CorrectNominalLimits(AnalysisParameters& parameters);

// The nine acceptance conditions: start >= 0, end > start, 0 < steps <=
// kMaxSteps, end <= 22000, interval >= 0.05, 0.9 <= speed <= 1.1 and
// low < high (the limits as corrected). The interval's upper bound of 5 Hz
// is no condition: a larger interval is analysed.
bool ParametersAcceptable(const AnalysisParameters& parameters, std::int32_t steps);

// Samples one recording holds: trunc(44100 / interval). Only for an
// accepted interval (>= 0.05 Hz, so at most 882000).
std::int32_t RecordLengthFor(double interval);

// Samples of a recording the spectrum is taken from, whatever the interval
// (2 s; the tuning report measures the whole recording).
inline constexpr std::int32_t kSpectrumSamples = 88200;

// The stretch of one recording at `interval` (accepted), the one place it
// is derived: firstSample 0, lastSample kSpectrumSamples, sampleRate 44100,
// recordLength RecordLengthFor(interval).
void SetRecordingStretch(AnalysisRequest& request, double interval);

// CorrectNominalLimits and ParametersAcceptable together, for callers
// without controls to push the corrected limits to. On true fills
// `request` as the window holds it: the band, interval and steps, and
// SetRecordingStretch. False means "Bad analysis parameters!"; the
// nominal limits are corrected in both cases.
bool AcceptParameters(AnalysisParameters& parameters, AnalysisRequest& request);
