#pragma once
#include <vector>

struct DecayCurve;

// The arithmetic of the decay plot: time across, level in dB up. Plain C++
// (no Qt, no drawing), user-interface thread; tests call it without pixels.
// Coordinates are the painter's (logical pixels, or points on paper).

struct DecayAxes {
    double fromSeconds = 0.0;
    double toSeconds = 1.0;
    double topDb = 0.0;
    double bottomDb = -80.0;
};

// Axes that hold `curves`: time from 0 to the last point's; level from the
// loudest point rounded up to 10 dB, down to 10 dB under the lowest noise
// floor, rounded down to 10 dB, but no less than 40 and no more than 100
// dB below the top. Without points: 0 ... 1 s, 0 ... -80 dB.
DecayAxes FitDecayAxes(const std::vector<const DecayCurve*>& curves);

// x of `seconds` across a plot from `left`, `width` wide.
double SecondsX(double seconds, const DecayAxes& axes, double left, double width);
// y of `db` down a plot from `top`, `height` high (topDb at `top`).
double DbY(double db, const DecayAxes& axes, double top, double height);

// Round values in from ... to (inclusive) at a step of 1, 2 or 5 times a
// power of ten, the smallest that gives at most `maxTicks` of them (at
// least 2); empty when to <= from.
std::vector<double> RoundTicks(double from, double to, int maxTicks);

// Decimals that tell round ticks apart: none for whole steps, then one per
// power of ten below (0.5 -> 1, 0.05 -> 2), at most 6; 0 for fewer than 2.
int TickDecimals(const std::vector<double>& ticks);
