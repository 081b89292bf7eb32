#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "analysis/spectrum_analyser.h"
#include "audio/recorder.h"
#include "cycle/bell.h"
#include "cycle/file_capture.h"
#include "tuning/ideal_tuning.h"
#include "tuning/reference_tone.h"

// The record-analyse cycle of one bell, without any window: the one writer
// of the current bell. The window forwards its commands and the recorder's
// messages here and shows what Current() holds; tests drive it directly.
// Everything runs on one (the user-interface) thread.

// Where the cycle stands.
enum class SessionState {
    Idle,       // stopped: nothing armed or running
    Armed,      // the recorder waits for the trigger
    Recording,  // the recorder copies blocks into the recording
    Analysing,  // a transform of the recording is running
};

// "stopped", "wait for trigger", "recording...", "analysing...".
const char* SessionStateText(SessionState state);

// Runs the transform the session has readied: starts it on `engine` for
// `request` over the analysed samples, waits for it (under a progress
// dialog, or blocking) and returns CompleteTransform's answer: true with the
// finished spectrum in `spectrum`, false when it was cancelled.
using TransformRunner = std::function<bool(SpectrumAnalyser& engine, const AnalysisRequest& request,
                                           const Recording& analysed, Spectrum& spectrum)>;

// The runner for callers without a progress dialog (RunTransformAndWait).
bool WaitForTransform(SpectrumAnalyser& engine, const AnalysisRequest& request, const Recording& analysed,
                      Spectrum& spectrum);

// The trigger settings of a live recording, as the window's controls hold
// them when it is armed.
struct Triggering {
    bool waitForTrigger = true;
    int triggerLevel = 25;  // percent of full scale, 0 ... 100
};

// How an analysis ended.
enum class AnalysisOutcome {
    Refused,    // nothing analysed (no recording to take, parameters no transform serves)
    Cancelled,  // the transform was cancelled: no spectrum, the recording kept
    Unnamed,    // a spectrum, but too few points to name partials in
    Named,      // partials named and the tuning report measured
};

class Session {
public:
    // `recorder` is the window's live input, open or not; it outlives the session.
    explicit Session(Recorder& recorder);

    SessionState State() const;
    const Bell& Current() const { return bell_; }
    // "Stop analysis" was pressed since the last arming.
    bool StoppedByUser() const { return stopped_; }

    // --- Live recording ----------------------------------------------------
    // "Start analysis", before its parameters are read: the bell's sound and
    // partials are no longer offered for saving, and its source is no file.
    void ForgetResults();
    // Arms the recorder for trunc(44100 / interval) samples of accepted
    // `parameters` (AcceptParameters) with `triggering`. False, with
    // nothing armed, for parameters no analysis accepts.
    bool StartLive(const AnalysisParameters& parameters, const Triggering& triggering);
    // "Stop analysis": ends waiting or recording (a calibration too); a
    // recording that completes while the stop is on its way is not analysed.
    void Stop();
    // The recorder reported a complete recording (WM_RECORDING_DONE): takes
    // it and analyses it through `runner`. In continuous mode a named strike
    // joins the strike averages (Current().tuningStatus says when it was
    // left out) and the recorder is armed again after every completed
    // transform, with `triggering` as the controls hold it then. Refused
    // for a recording the user stopped.
    AnalysisOutcome OnRecordingDone(const TransformRunner& runner, bool continuous, const Triggering& triggering);
    // The input failed (WM_RECORDER_LOST): the recorder is closed, a
    // recording in progress dropped; a finished one stays to be saved.
    void OnInputLost();

    // --- Other sources -----------------------------------------------------
    // While Idle: the sound file at `path` recorded through the automatic
    // trigger for the parameters' record length and analysed through
    // `runner`, as a live recording is. Returns the capture's code
    // (FileCaptureText), with `capture` saying how it went; on any code but
    // kFileCaptured the bell is unchanged. `outcome` tells how the analysis
    // ended: Refused, with nothing read, when the session is not Idle or no
    // analysis accepts `parameters` (the window checks both first).
    std::uint16_t AnalyseFile(const std::string& path, const AnalysisParameters& parameters, int triggerLevel,
                              const TransformRunner& runner, FileCapture& capture, AnalysisOutcome& outcome);
    // A partials file read into `table`: it becomes the bell's table, its
    // cents and notes are brought up to date and the report comes from the
    // table alone.
    void TakePartials(const PartialTable& table);
    // While Idle: a measurement kept earlier shown exactly as it was kept:
    // its recording as captured and its parameters give the spectrum again
    // (through `runner`), while the table and the report are the ones kept,
    // not found anew. Nothing is offered for saving (it is kept already)
    // and the strike averages restart. Refused (Refused) when not Idle or
    // the parameters cannot be analysed; Cancelled leaves the kept table
    // and report with no spectrum.
    AnalysisOutcome ShowKept(const Recording& recording, const AnalysisParameters& parameters,
                             const PartialTable& table, const TuningReport& tuning, const std::string& status,
                             const TransformRunner& runner);
    // While Idle: the bell's recording analysed again with other
    // `parameters`, as a recording of that length would have been: the
    // recording as it last came (live, from a file or kept) cut to the
    // record length when longer, padded with zeros when shorter (the report
    // then warns). The strike averages restart. Refused when not
    // Idle, without a recording, or for parameters no analysis accepts.
    AnalysisOutcome AnalyseAgain(const AnalysisParameters& parameters, const TransformRunner& runner);
    // The synthetic start-up bell for the parameters' band; true when its
    // partials were named.
    bool ShowStartupBell(const AnalysisParameters& parameters);

    // --- Calibration from a reference tone ----------------------------------
    // Arms the recorder for kCalibrationSamples of a steady tone with
    // `triggering`; the current bell is left as it is. False while not Idle.
    bool StartCalibration(const Triggering& triggering);
    // A calibration recording is armed or running.
    bool Calibrating() const { return calibrating_; }
    // After WM_RECORDING_DONE while Calibrating: the tone of `referenceHz`
    // measured in the recording (MeasureReferenceTone's code; kToneTooShort
    // when there is no complete recording); the calibration ends either way.
    std::uint16_t FinishCalibration(double referenceHz, ToneMeasurement& tone);

    // --- Changes to the current bell ---------------------------------------
    // "Add Partial": the peak at `frequencyHz` with `amplitude` added to the
    // table and the partials named again (the nominal sought within the
    // limits); the report measured again from the analysed recording with
    // the new table, or from the table alone when there is no recording to
    // measure. The strike averages are left as they are.
    void AddPartial(double frequencyHz, double amplitude, double lowNominal, double highNominal);
    // The analysed recording was saved.
    void MarkSaved() { bell_.sound = SoundState::Saved; }
    // A new ideal: the report's deviations follow and the averages restart.
    void SetIdeal(const IdealTuning& ideal);
    const IdealTuning& Ideal() const { return ideal_; }
    // "Reset": the averages over strikes start again.
    void ResetAverages() { bell_.strikes.Reset(); }

private:
    // Stretches, transforms, names and reports the bell's recording.
    AnalysisOutcome Analyse(const TransformRunner& runner);
    // Arms the recorder for the bell's record length.
    void Arm(const Triggering& triggering);

    Recorder& recorder_;
    SpectrumAnalyser engine_;
    Bell bell_;
    IdealTuning ideal_ = JustTuning();
    bool analysing_ = false;
    // Set by Stop, cleared by the next arming: a recording that completes
    // while the user is stopping it is not analysed.
    bool stopped_ = false;
    bool calibrating_ = false;
    // The recording as it last came in, before any AnalyseAgain cut or padded it.
    Recording uncut_;
};

// Samples a calibration records: 3 s at 44100 Hz.
inline constexpr std::int32_t kCalibrationSamples = 3 * kRecordingRate;
