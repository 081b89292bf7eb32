#pragma once
#include <array>

#include "analysis/analysis_request.h"

class PartialTable;
struct Spectrum;

// The synthetic bell spectrum the window shows before anything has been
// recorded. Plain C++; user-interface thread.

// One start-up peak: frequency in Hz and amplitude (magnitude units).
struct StartupPeak {
    double frequency;
    double amplitude;
};

// The fourteen peaks, in the order they are written.
inline constexpr std::array<StartupPeak, 14> kStartupPeaks{{
    {165, 10}, {315, 20}, {380, 50}, {480, 5}, {640, 40}, {835, 4}, {850, 6},
    {865, 8}, {960, 15}, {1310, 12}, {1600, 4}, {1920, 3}, {2240, 2}, {2560, 1},
}};

// Writes a nine-point peak with its top, `amplitude`, at point
// k + 4 = trunc((frequency - startFrequency) / interval) of the
// spectrum's magnitudes; the points k ... k + 8 get amplitude / 15, / 7,
// / 4, / 2.5, / 1, / 2.5, / 4, / 7, / 15. Acts only when the spectrum is
// measured and frequency < endFrequency - 2 x interval, and writes only the
// points that exist (0 ... steps), so a peak near either end of the band
// is cut, never written outside it. interval must be > 0.
void AddStartupPeak(Spectrum& spectrum, double frequency, double amplitude);

// Fills `spectrum` with the start-up spectrum and names its partials: the
// band of the request (startFrequency, endFrequency, interval, steps);
// request.lastSample = request.recordLength = trunc(44100 / interval);
// steps + 1 points 0.0, then the fourteen peaks; FindMaximum; Smooth(
// sampleRate, recordLength). Then DetectPeaks and, only when it ran,
// nominal = FindNominal(false, lowNominal, highNominal),
// UpdateCentsAndNotes and partialsValid = 1. Returns whether the partials
// were named.
bool PrepareStartupSpectrum(Spectrum& spectrum, PartialTable& table,
                            AnalysisRequest& request, double lowNominal, double highNominal);
