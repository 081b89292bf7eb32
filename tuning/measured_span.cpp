#include "tuning/measured_span.h"

#include <algorithm>

#include "tuning/strike_events.h"

MeasuredSpan FindMeasuredSpan(const std::int16_t* samples, std::int32_t count, double rateHz) {
    MeasuredSpan span;
    // Measure from the strike on: the silence before it would put a step
    // into the windowed envelope, whose slowly falling sidelobes let every
    // other partial pull a little on each peak.
    span.onset = StrikeOnset(samples, count);
    span.length = count - span.onset;
    const std::int32_t again = SecondStrike(samples + span.onset, span.length);
    if (again >= 0) {
        span.secondStrike = span.onset + again;
        // One strike is one clean model; the second's new phases would bend
        // the peak. Half a second is the least worth measuring alone.
        span.length = std::max(again - 1024, std::min(span.length, static_cast<std::int32_t>(rateHz / 2.0)));
    }
    return span;
}
