#include "analysis/spectrum_analyser.h"

#include <new>

#include "analysis/transform_job.h"

namespace {

std::unique_ptr<double[]> NewZeroedArray(std::int32_t count) {
    if (count <= 0) return nullptr;
    return std::unique_ptr<double[]>(new (std::nothrow) double[static_cast<std::size_t>(count)]());
}

}  // namespace

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
    running = 0;
}

void SpectrumAnalyser::Configure(std::int32_t newSteps, double newStartFrequency, double newEndFrequency,
                                 double newInterval) {
    // The worker writes into the spectrum being replaced: stop it first.
    if (running != 0) Abandon();
    spectrum = NewZeroedArray(newSteps + 1);
    smoothedSpectrum = NewZeroedArray(newSteps + 1);
    smoothValid = 0;
    spectrumValid = 0;
    steps = newSteps;
    startFrequency = newStartFrequency;
    endFrequency = newEndFrequency;
    interval = newInterval;
}

bool SpectrumAnalyser::StartTransform(const AnalysisRequest& request, const std::int16_t* samples,
                                      std::int32_t sampleCount) {
    if (running != 0) return false;
    if (!spectrum || request.steps != steps) return false;
    if (!PrepareTransformJob(job, request, samples, sampleCount, spectrum.get())) return false;
    running = 1;
    worker = std::thread(TransformWorker, std::ref(job));
    return true;
}

void SpectrumAnalyser::RequestCancel() {
    // Relaxed: the flag only asks the worker to stop; the spectrum is
    // published by `done`.
    job.cancelRequested.store(1, std::memory_order_relaxed);
}

void SpectrumAnalyser::Finish() {
    // The worker has set done as its last act, so the join returns at once.
    if (worker.joinable()) worker.join();
    job.workBuffer.reset();
    running = 0;
}
