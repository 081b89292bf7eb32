#pragma once
#include <string>
#include <vector>

// The frequency axis under the spectrum plot: where its ticks go and what
// their labels say. Plain arithmetic, called on the user-interface thread
// and directly by tests.

// What the plot shows, as the axis needs it.
struct AxisSpan {
    double startFrequency = 0.0;  // Hz of spectrum point 0
    double interval = 1.0;        // Hz between points, > 0
    int firstBin = 0;             // point at the left edge
    int binsPerPixel = 1;         // points per column
    int pixelsPerPoint = 1;       // columns per point when magnified
    int width = 0;                // columns (physical pixels)
};

// One labelled tick: the pixel column of its frequency and the label, a
// round number of Hz ("250", "1000", "0.5") in the same form as the edits.
struct AxisTick {
    int column = 0;
    double frequencyHz = 0.0;
    std::string label;
};

// The tick step in Hz: the smallest 1, 2 or 5 x 10^k that leaves at least
// `minSpacingColumns` columns between ticks.
double AxisStepHz(const AxisSpan& span, int minSpacingColumns);

// The ticks at the multiples of AxisStepHz whose columns lie in
// 0 ... width - 1, left to right. A column is that of the point at or below
// the frequency (its middle column when points are magnified).
std::vector<AxisTick> AxisTicks(const AxisSpan& span, int minSpacingColumns);
