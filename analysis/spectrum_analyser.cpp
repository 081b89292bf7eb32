#include "analysis/spectrum_analyser.h"

#include <utility>

#include "analysis/transform_job.h"

SpectrumAnalyser::~SpectrumAnalyser() {
    Abandon();
}

void SpectrumAnalyser::Abandon() {
    if (worker.joinable()) {
        // The worker stops before its next FFT pass, writes its (meaningless)
        // spectrum and sets done; the join waits for at most one pass.
        RequestCancel();
        worker.join();
    }
    job.workBuffer.reset();
    running = false;
}

bool SpectrumAnalyser::StartTransform(const AnalysisRequest& request, const std::int16_t* samples,
                                      std::int32_t sampleCount) {
    if (running) return false;
    // The request is checked, and the work buffer (larger than the spectrum)
    // allocated, before the spectrum's memory is taken, so a request no
    // transform can serve never allocates steps + 1 doubles.
    double unused = 0.0;
    if (!PrepareTransformJob(job, request, samples, sampleCount, &unused)) return false;
    result = UnmeasuredSpectrum(request);
    result.magnitudes.resize(static_cast<std::size_t>(request.steps) + 1);
    job.destination = result.magnitudes.data();
    running = true;
    worker = std::thread(TransformWorker, std::ref(job));
    return true;
}

TransformProgress SpectrumAnalyser::Progress() const {
    // Relaxed: the count is only shown; passCount is written on this thread.
    return TransformProgress{job.passesDone.load(std::memory_order_relaxed), job.passCount};
}

void SpectrumAnalyser::RequestCancel() {
    // Relaxed: the flag only asks the worker to stop; the spectrum is
    // published by `done`.
    job.cancelRequested.store(1, std::memory_order_relaxed);
}

bool SpectrumAnalyser::Done() const {
    // Pairs with the worker's release store after the whole spectrum.
    return job.done.load(std::memory_order_acquire) == 1;
}

bool SpectrumAnalyser::Finish(Spectrum& spectrum) {
    // After done the worker's last act is behind it, so the join returns at once.
    if (worker.joinable()) worker.join();
    job.workBuffer.reset();
    const bool started = std::exchange(running, false);
    // A cancel asked for after the last pass still counts: the caller, which
    // asked for it, has moved on.
    const bool completed = started && job.cancelRequested.load(std::memory_order_relaxed) == 0;
    if (completed) spectrum = std::move(result);
    result = Spectrum{};
    return completed;
}
