#pragma once
#include <cstdint>

#include "analysis/analysis_request.h"
#include "analysis/spectrum_analyser.h"

// The pieces of one transform, callable without a thread (the engine's
// StartTransform and TransformWorker are built from them; tests and
// benchmarks call them directly).

// Derives the job from the request, allocates its work buffer and fills the
// buffer's upper half with the FFT's twiddle table. e := sampleRate /
// interval; N := smallest power of two >= e (passCount = log2 N);
// resampleStep := e / N; pointCount M := trunc((lastSample - firstSample) /
// resampleStep), at most N. Resets passesDone, cancelRequested and done to 0.
// `samples` (may be null when sampleCount is 0) is kept, not copied; samples
// at or beyond sampleCount read as 0. `destination` receives steps + 1
// magnitudes.
// False, with the job unchanged, when the request breaks what the transform
// needs: interval <= 0, e <= 1 or N > 2^30, steps < 0, firstSample < 0,
// lastSample <= firstSample, startFrequency < 0, a highest bin
// trunc(startFrequency / interval) + steps at or above N, a null
// destination, or a work buffer that cannot be allocated.
// User-interface thread; never while a worker uses the job.
bool PrepareTransformJob(TransformJob& job, const AnalysisRequest& request, const std::int16_t* samples,
                         std::int32_t sampleCount, double* destination);

// Resampling and window: out[i] for i < M is the linear interpolation of the
// samples at firstSample + i x resampleStep, times the periodic Hamming
// window 0.54 - 0.46 cos(2 pi i / M) computed by its cosine recurrence;
// out[M ... N-1] := 0. Writes exactly N doubles.
void ResampleAndWindow(const TransformJob& job, double* out);

// destination[j] := |X[b0 + j]| / (M x 0.54 x 64) for j = 0 ... steps, with
// b0 = trunc(startFrequency / interval), from a RealFft result of N points.
void WriteMagnitudes(const TransformJob& job, const double* transformed);
