#pragma once
#include <cstdint>
#include <vector>

#include "analysis/analysis_request.h"

// A magnitude spectrum on the grid startFrequency + j x interval, j = 0 ...
// steps: what a completed transform hands over, and what the peak
// detection, the plot and the outputs read. A plain value: copy it, keep it,
// no thread writes into it.
struct Spectrum {
    double startFrequency = 0.0;  // Hz, frequency of point 0
    double endFrequency = 0.0;    // Hz, upper end of the analysed band
    double interval = 0.0;        // Hz between points
    std::int32_t steps = 0;       // last point index: steps + 1 points
    // steps + 1 magnitudes; anything else (normally empty) means nothing was
    // measured for this band, and the points read as 0.
    std::vector<double> magnitudes;
    // steps + 1 smoothed magnitudes (Smooth); empty when smoothing was
    // refused or not yet done.
    std::vector<double> smoothed;
    double maxMagnitude = 0.0;     // largest magnitude (FindMaximum), 0 for none
    double resolutionRatio = 0.0;  // (sampleRate / stretch length) / interval, set by Smooth

    // The band holds its steps + 1 magnitudes.
    bool Measured() const {
        return steps >= 0 && magnitudes.size() == static_cast<std::size_t>(steps) + 1;
    }
    // Measured, and the smoothed copy is there too.
    bool Smoothed() const { return Measured() && smoothed.size() == magnitudes.size(); }
    // The magnitudes, or null when not Measured: readers of points 0 ... steps
    // then take every point as 0.
    const double* Points() const { return Measured() ? magnitudes.data() : nullptr; }
};

// The band of `request` (start, end, interval, steps) with nothing measured:
// what a spectrum is from the moment its analysis is prepared until the
// transform completes, and after a cancelled one.
Spectrum UnmeasuredSpectrum(const AnalysisRequest& request);

// Largest magnitude into maxMagnitude (0 when none is above 0 or nothing is
// measured).
void FindMaximum(Spectrum& spectrum);

// The smoothed copy of the magnitudes and resolutionRatio for a stretch of
// stretchLength samples at sampleRate Hz: a parabolic kernel of half width
// K = trunc(30 x ratio + 1) points. False, with `smoothed` emptied, when
// refused: nothing measured, steps <= 0, non-positive arguments or interval,
// or 3K > steps (resolutionRatio is already set then).
bool Smooth(Spectrum& spectrum, std::int32_t sampleRate, std::int32_t stretchLength);
