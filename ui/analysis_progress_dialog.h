#pragma once
#include <cstdint>

#include "ui/toolkit/dialog.h"

class QProgressBar;
class SpectrumAnalyser;
struct AnalysisRequest;
struct Spectrum;

// Dialog 107 "Analysis": open for exactly as long as one transform runs.
// It starts the engine's transform on the worker thread, shows the passes
// done in a 0 ... 100 bar (moved every tick interval), and within about
// 10 ms of the worker being done completes the spectrum on the
// user-interface thread (CompleteTransform: Finish, then unless cancelled
// the spectrum handed over, FindMaximum and Smooth) and closes, so the
// result never waits for the bar's next tick.
//
// DoModal returns IDOK when the transform ran to its end and the spectrum is
// complete, IDCANCEL when the user cancelled (or the engine refused to
// start the transform). "Cancel", Escape and the close box only ask the
// worker to stop; the dialog closes once the worker is done, so it is never
// destroyed under a running worker. Posted messages to other windows keep
// being handled by the modal loop.
//
// User-interface thread only; it meets the worker only through the
// engine's Progress, Done and RequestCancel.
class AnalysisProgressDialog : public Dialog {
public:
    // engine, request, samples and spectrum belong to the caller and must
    // outlive the dialog; samples are the sound's sampleCount 16-bit values
    // (after any speed adjustment); `spectrum` receives the finished
    // spectrum when the transform completes and is left untouched
    // otherwise. No parent: the active window becomes the owner.
    AnalysisProgressDialog(SpectrumAnalyser& engine, const AnalysisRequest& request,
                           const std::int16_t* samples, std::int32_t sampleCount,
                           Spectrum& spectrum, QWidget* parent = nullptr);

    // Period of the bar's timer in milliseconds (default 500); takes effect
    // at the next OnInitDialog. Tests shorten it. Done is looked for every
    // kDoneTimerMilliseconds (and at each bar tick) whatever the period.
    void SetTickInterval(int milliseconds);

    static constexpr int kDialogId = 107;
    static constexpr int kTextId = 1042;
    static constexpr int kProgressId = 1054;
    static constexpr int kTimerId = 1;      // moves the bar
    static constexpr int kDoneTimerId = 2;  // only looks whether the worker is done
    static constexpr int kDoneTimerMilliseconds = 10;

protected:
    // Starts the transform, sets the bar's range and timers 1 and 2.
    bool OnInitDialog() override;
    // One poll: with timer 1 the bar position; when the worker is done,
    // completes and closes.
    void OnTimer(int id) override;
    // Only asks the worker to stop; the first poll after it stopped closes.
    void OnCancel() override;
    // Binds the progress bar.
    void DoDataExchange(DataExchange& dx) override;

private:
    // Moves the bar to trunc(100 x passesDone / passCount).
    void ShowProgress();
    // Kills both timers.
    void StopPolling();

    SpectrumAnalyser& engine;
    const AnalysisRequest& request;
    const std::int16_t* samples;
    std::int32_t sampleCount;
    Spectrum& spectrum;
    int tickInterval = 500;
    bool started = false;
    QProgressBar* progressBar = nullptr;
};
