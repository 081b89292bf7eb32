#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "analysis/analysis_request.h"

// The block shared with the worker thread. The worker touches nothing else
// of the engine: it reads the samples and writes the spectrum through the
// pointers here.
struct TransformJob {
    double* destination = nullptr;               // the engine's spectrum, steps + 1 values
    // 2 x transformSize doubles while a transform runs: the lower half holds
    // the N real points (read as N/2 interleaved complex values by the FFT),
    // the upper half the FFT's twiddle table, filled by StartTransform.
    std::unique_ptr<double[]> workBuffer;
    const std::int16_t* samples = nullptr;       // the sound's samples, not owned
    std::int32_t sampleCount = 0;                // their number; reads at or past it give 0
    double startFrequency = 0.0;
    double endFrequency = 0.0;
    double interval = 0.0;
    double resampleStep = 0.0;                   // input samples per resampled point, <= 1
    double windowConstant = 0.54;
    std::int32_t steps = 0;
    std::int32_t pointCount = 0;                 // M, windowed points fed to the FFT
    std::int32_t firstSample = 0;
    std::int32_t lastSample = 0;
    std::int32_t sampleRate = 0;
    std::int32_t transformSize = 0;              // N, a power of two
    std::int32_t passCount = 0;                  // log2 N
    // Written by the worker after each FFT pass; read by the UI for progress.
    std::atomic<std::int32_t> passesDone{0};
    // Written by the UI (RequestCancel); read by the worker before each pass.
    std::atomic<std::uint8_t> cancelRequested{0};
    // Written last by the worker with release, after the whole spectrum;
    // read by the UI with acquire before it reads the spectrum or calls Finish.
    std::atomic<std::uint8_t> done{0};
};

// Turns a stretch of 16-bit samples into a magnitude spectrum on the grid
// startFrequency + j x interval, j = 0 ... steps, on a worker thread.
// Everything but the worker runs on the user-interface thread.
class SpectrumAnalyser {
public:
    SpectrumAnalyser() = default;
    SpectrumAnalyser(const SpectrumAnalyser&) = delete;
    SpectrumAnalyser& operator=(const SpectrumAnalyser&) = delete;
    // Cancels and joins a transform that is still running.
    ~SpectrumAnalyser();

    // Replaces both spectrum arrays by new zero-filled ones of steps + 1
    // doubles (none for steps < 0 or when memory runs out), clears
    // smoothValid and spectrumValid and stores the four values. A transform
    // still running is cancelled and joined first (it writes into the old
    // spectrum); the caller normally calls this only while none runs.
    void Configure(std::int32_t steps, double startFrequency, double endFrequency, double interval);

    // Derives the job from the request (PrepareTransformJob in
    // analysis/transform_job.h), starts the worker on its own thread and
    // returns true at once. False, with nothing changed, while a transform is
    // running (until Finish), when there is no spectrum array, when
    // request.steps differs from the steps of the last Configure, or when
    // PrepareTransformJob refuses the request.
    bool StartTransform(const AnalysisRequest& request, const std::int16_t* samples,
                        std::int32_t sampleCount);

    // Asks the worker to stop before its next FFT pass.
    void RequestCancel();

    // After `done` has been seen: joins the worker (which has then already
    // ended, so this does not block), releases the work buffer and clears
    // `running`. Harmless when no transform was started.
    void Finish();

    // Largest value of the spectrum into maxMagnitude (0 for no spectrum).
    void FindMaximum();

    // Smoothed copy of the spectrum and resolutionRatio for a stretch of
    // stretchLength samples at sampleRate Hz; false when refused (missing
    // arrays, non-positive arguments, or 3K > steps).
    bool Smooth(std::int32_t sampleRate, std::int32_t stretchLength);

    double startFrequency = 0.0;
    double endFrequency = 0.0;
    double interval = 0.0;
    std::int32_t steps = 0;
    std::unique_ptr<double[]> spectrum;
    std::unique_ptr<double[]> smoothedSpectrum;
    double maxMagnitude = 0.0;
    std::uint8_t spectrumValid = 0;
    std::uint8_t smoothValid = 0;
    double resolutionRatio = 0.0;
    TransformJob job;
    std::uint8_t running = 0;

private:
    // Cancels and joins a running worker, releases the work buffer and
    // clears `running`.
    void Abandon();

    std::thread worker;
};

// The worker: resample, window, FFT, magnitudes, then done := 1 (release).
// Runs on the thread StartTransform starts (tests and benchmarks may call it
// directly on a job from PrepareTransformJob). Honours cancelRequested
// before every FFT pass and counts the passes in passesDone.
void TransformWorker(TransformJob& job);
