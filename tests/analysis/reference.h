#pragma once
#include <cstdint>
#include <vector>

#include "analysis/analysis_request.h"

// Straightforward forms the optimised engine is measured against.

// The in-place radix-2 transform exactly as first written: 1-based
// positions, bit reversal by the j counter, twiddles by the sine/cosine
// recurrence, one pass per doubling of mmax. Counts passes into `passes`.
void LiteralComplexFft(std::vector<double>& data, std::int32_t n, int sign, std::int32_t& passes);

// The whole transform done the plain way (zeroed 2N buffer, resampling,
// window by recurrence, LiteralComplexFft on N complex values, magnitudes).
// Samples at or past samples.size() read as 0.
std::vector<double> LiteralSpectrum(const AnalysisRequest& request, const std::vector<std::int16_t>& samples);

// Point-by-point smoothing with kernel half-width `half` and unit `unit`.
std::vector<double> LiteralSmooth(const std::vector<double>& spectrum, std::int32_t half, double unit);

// A struck-bell-like test sound: a few decaying partials plus a little
// deterministic noise, `count` samples at 44100 Hz.
std::vector<std::int16_t> BellSamples(std::int32_t count);

// A request over firstSample 0 ... lastSample at 44100 Hz for the band
// startHz ... startHz + steps x interval.
AnalysisRequest MakeRequest(double interval, double startHz, std::int32_t steps, std::int32_t lastSample);
