#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "analysis/analysis_request.h"
#include "analysis/spectrum.h"

// The block shared with the worker thread. The worker touches nothing else
// of the engine: it reads the samples and writes the spectrum through the
// pointers here.
struct TransformJob {
    double* destination = nullptr;               // the spectrum being measured, steps + 1 values
    // 2 x transformSize doubles while a transform runs: the lower half holds
    // the N real points (read as N/2 interleaved complex values by the FFT),
    // the upper half the FFT's twiddle table, filled by PrepareTransformJob.
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

// Passes of a transform's FFT done so far, out of passCount (log2 N).
struct TransformProgress {
    std::int32_t passesDone = 0;
    std::int32_t passCount = 0;  // 0 before the first transform
};

// Turns a stretch of 16-bit samples into a magnitude spectrum on the grid
// startFrequency + j x interval, j = 0 ... steps, on a worker thread, and
// hands it over as a Spectrum once complete. Everything but the worker runs
// on the user-interface thread. One transform at a time:
// StartTransform, then Progress / RequestCancel / Done as often as wanted,
// then Finish once Done is true.
class SpectrumAnalyser {
public:
    SpectrumAnalyser() = default;
    SpectrumAnalyser(const SpectrumAnalyser&) = delete;
    SpectrumAnalyser& operator=(const SpectrumAnalyser&) = delete;
    // Cancels and joins a transform that is still running.
    ~SpectrumAnalyser();

    // Derives the job from the request (PrepareTransformJob in
    // analysis/transform_job.h), readies a spectrum of request.steps + 1
    // points for the band of the request, starts the worker on its own
    // thread and returns true at once. `samples` (sampleCount values) belong
    // to the caller and must stay unchanged until Finish. False, with
    // nothing changed, while a transform is running (until Finish) or when
    // PrepareTransformJob refuses the request.
    bool StartTransform(const AnalysisRequest& request, const std::int16_t* samples,
                        std::int32_t sampleCount);

    // Passes done of the last started transform (relaxed: only for show).
    TransformProgress Progress() const;

    // Asks the worker to stop before its next FFT pass. Harmless when none runs.
    void RequestCancel();

    // Whether the worker of the last started transform has ended (acquire:
    // once true, its whole spectrum is written). False before the first
    // StartTransform.
    bool Done() const;

    // Joins the worker (after Done it has already ended, so this does not
    // block) and releases its work buffer. True, with the spectrum moved into
    // `spectrum` (the request's band, its magnitudes; maxMagnitude 0 and
    // nothing smoothed), when the transform ran to its end; false, with
    // `spectrum` untouched, when a cancel had been requested or no transform
    // was started since the last Finish.
    bool Finish(Spectrum& spectrum);

private:
    // Cancels and joins a running worker and releases the work buffer.
    void Abandon();

    TransformJob job;
    Spectrum result;  // written by the worker through job.destination until done
    bool running = false;  // between a StartTransform and its Finish
    std::thread worker;
};

// The worker: resample, window, FFT, magnitudes, then done := 1 (release).
// Runs on the thread StartTransform starts (tests and benchmarks may call it
// directly on a job from PrepareTransformJob). Honours cancelRequested
// before every FFT pass and counts the passes in passesDone.
void TransformWorker(TransformJob& job);
