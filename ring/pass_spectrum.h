#pragma once
#include <vector>

#include "data/recording.h"

// A pass's spectrum on a scale of cents, to lay the passes of one bell over
// each other with the first pass's nominal at 0. Plain C++, any thread;
// about a millisecond for 2 s at 44100 Hz.

// `points` levels (dB below the largest, 0 ... -120) evenly from `fromCents`
// to `toCents` about `zeroHz`: each the largest magnitude of the
// Hann-windowed transform of `recording` stretched by `speedAdjust` (as it
// was analysed) within its own span of cents, so that no peak falls
// between two points. Empty for fewer than 1024 samples, fewer than two
// points, or a zeroHz that is not a positive finite frequency.
std::vector<double> SpectrumInCents(const Recording& recording, double speedAdjust, double zeroHz, double fromCents,
                                    double toCents, int points);
