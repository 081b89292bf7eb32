#pragma once
#include <cstdint>

// What of a recording the tuning report measures: from the strike on, and
// only up to a second strike. Plain C++, any thread.
struct MeasuredSpan {
    std::int32_t onset = 0;   // first sample measured (StrikeOnset), from the recording's start
    std::int32_t length = 0;  // samples measured from `onset` on
    // The sample, from the recording's start, at or before which the bell
    // is struck again (SecondStrike); -1 when it is not.
    std::int32_t secondStrike = -1;
};

// The span of `count` samples (>= 1024) at `rateHz` the report measures:
// from the strike's onset to the end, or to 1024 samples before a second
// strike (but never less than half a second when the recording holds it).
MeasuredSpan FindMeasuredSpan(const std::int16_t* samples, std::int32_t count, double rateHz);
