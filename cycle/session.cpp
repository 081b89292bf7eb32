#include "cycle/session.h"

#include <algorithm>
#include <new>

#include "cycle/analyse_recording.h"
#include "cycle/startup_spectrum.h"

namespace {

constexpr const char* kFromTableAlone =
    "without the sound there is no uncertainty, T60 or doublet.";

}  // namespace

const char* SessionStateText(SessionState state) {
    switch (state) {
        case SessionState::Idle: return "stopped";
        case SessionState::Armed: return "wait for trigger";
        case SessionState::Recording: return "recording...";
        case SessionState::Analysing: return "analysing...";
    }
    return "error state!";
}

bool WaitForTransform(SpectrumAnalyser& engine, const AnalysisRequest& request, const Recording& analysed,
                      Spectrum& spectrum) {
    return RunTransformAndWait(engine, request, analysed, spectrum);
}

Session::Session(Recorder& recorder) : recorder_(recorder) {}

SessionState Session::State() const {
    if (analysing_) return SessionState::Analysing;
    switch (recorder_.State()) {
        case RecorderState::WaitForTrigger: return SessionState::Armed;
        case RecorderState::Recording: return SessionState::Recording;
        case RecorderState::Stopped: break;
    }
    return SessionState::Idle;
}

void Session::ForgetResults() {
    bell_.sound = SoundState::None;
    bell_.table.partialsValid = 0;
    // A live recording is no longer the sound file analysed before.
    bell_.request.waveFileName.clear();
}

bool Session::StartLive(const AnalysisParameters& parameters, const Triggering& triggering) {
    AnalysisParameters accepted = parameters;
    AnalysisRequest request = bell_.request;
    if (!AcceptParameters(accepted, request)) return false;
    bell_.parameters = accepted;
    bell_.request = request;
    Arm(triggering);
    return true;
}

void Session::Arm(const Triggering& triggering) {
    stopped_ = false;
    // The new recording replaces the old one as soon as it starts.
    bell_.sound = SoundState::None;
    recorder_.Arm(bell_.request.recordLength, triggering.waitForTrigger, triggering.triggerLevel);
}

void Session::Stop() {
    stopped_ = true;
    calibrating_ = false;
    recorder_.Stop();
}

AnalysisOutcome Session::OnRecordingDone(const TransformRunner& runner, bool continuous, const Triggering& triggering) {
    // The last block came in while "Stop analysis" was on its way: the user
    // asked for no analysis.
    if (stopped_) return AnalysisOutcome::Refused;
    Recording taken;
    if (!recorder_.TakeRecording(taken)) return AnalysisOutcome::Refused;
    bell_.recording = std::move(taken);
    uncut_ = bell_.recording;
    bell_.sound = SoundState::Recorded;
    const AnalysisOutcome outcome = Analyse(runner);
    if (outcome == AnalysisOutcome::Refused) return outcome;
    const bool completed = outcome == AnalysisOutcome::Named || outcome == AnalysisOutcome::Unnamed;
    if (completed) bell_.tuningStatus = outcome == AnalysisOutcome::Named ? "Measured from the recording."
                                                                          : "No partials could be named in this spectrum.";
    if (continuous && completed && !bell_.strikes.Add(bell_.tuning)) {
        bell_.tuningStatus = "This strike was left out of the averages.";
    }
    if (continuous && completed) Arm(triggering);
    return outcome;
}

bool Session::StartCalibration(const Triggering& triggering) {
    if (State() != SessionState::Idle) return false;
    stopped_ = false;
    calibrating_ = true;
    recorder_.Arm(kCalibrationSamples, triggering.waitForTrigger, triggering.triggerLevel);
    return true;
}

std::uint16_t Session::FinishCalibration(double referenceHz, ToneMeasurement& tone) {
    calibrating_ = false;
    Recording taken;
    if (stopped_ || !recorder_.TakeRecording(taken)) return kToneTooShort;
    // Measured as the card delivers it: no speed adjustment.
    return MeasureReferenceTone(taken.Data(), taken.Length(), taken.sampleRate, referenceHz, tone);
}

void Session::OnInputLost() {
    calibrating_ = false;
    recorder_.Close();
    recorder_.Stop();
}

std::uint16_t Session::AnalyseFile(const std::string& path, const AnalysisParameters& parameters, int triggerLevel,
                                   const TransformRunner& runner, FileCapture& capture, AnalysisOutcome& outcome) {
    outcome = AnalysisOutcome::Refused;
    AnalysisParameters accepted = parameters;
    AnalysisRequest request = bell_.request;
    if (State() != SessionState::Idle || !AcceptParameters(accepted, request)) return kFileCaptured;
    Recording file;
    std::uint16_t code = kFileUnreadable;
    try {
        code = CaptureSoundFile(path, request.recordLength, true, true, triggerLevel, file, capture);
    } catch (const std::bad_alloc&) {
        capture.readError = "not enough memory";
    }
    if (code != kFileCaptured) return code;
    bell_.recording = std::move(file);
    uncut_ = bell_.recording;
    bell_.sound = SoundState::Recorded;
    bell_.parameters = accepted;
    bell_.request = request;
    bell_.request.waveFileName = path;
    // Averages of live strikes never stand beside a file's figures.
    bell_.strikes.Reset();
    outcome = Analyse(runner);
    if (outcome == AnalysisOutcome::Named || outcome == AnalysisOutcome::Unnamed) {
        // A file too short for the record length is named by the report's "padded" warning.
        bell_.tuningStatus = "Measured from " + path + (capture.cut ? " (its first 12.7 minutes)." : ".");
    }
    return code;
}

AnalysisOutcome Session::Analyse(const TransformRunner& runner) {
    bell_.facts = DescribeRecording(bell_.recording);
    bell_.analysed = bell_.recording;
    if (!PrepareAnalysis(bell_.analysed, bell_.parameters.speedAdjust, bell_.request, bell_.spectrum, bell_.table)) {
        // Cannot happen for accepted parameters; the recording stays to be saved.
        return AnalysisOutcome::Refused;
    }
    analysing_ = true;
    const bool completed = runner(engine_, bell_.request, bell_.analysed, bell_.spectrum);
    analysing_ = false;
    if (!completed) return AnalysisOutcome::Cancelled;
    if (!NamePartials(bell_.spectrum, bell_.table, bell_.parameters.lowNominal, bell_.parameters.highNominal)) {
        bell_.tuning = TuningReport{};
        return AnalysisOutcome::Unnamed;
    }
    bell_.tuning = ReportTuning(bell_.analysed, bell_.request, bell_.table, ideal_, bell_.facts,
                                bell_.recording.Length());
    return AnalysisOutcome::Named;
}

AnalysisOutcome Session::ShowKept(const Recording& recording, const AnalysisParameters& parameters,
                                  const PartialTable& table, const TuningReport& tuning, const std::string& status,
                                  const TransformRunner& runner) {
    AnalysisParameters accepted = parameters;
    AnalysisRequest request = bell_.request;
    if (State() != SessionState::Idle || recording.Empty() || !AcceptParameters(accepted, request)) {
        return AnalysisOutcome::Refused;
    }
    bell_.recording = recording;
    uncut_ = recording;
    bell_.sound = SoundState::Saved;
    bell_.parameters = accepted;
    bell_.request = request;
    bell_.request.waveFileName = recording.sourceFile;
    bell_.strikes.Reset();
    bell_.facts = DescribeRecording(bell_.recording);
    bell_.analysed = bell_.recording;
    if (!PrepareAnalysis(bell_.analysed, accepted.speedAdjust, bell_.request, bell_.spectrum, bell_.table)) {
        return AnalysisOutcome::Refused;
    }
    analysing_ = true;
    const bool completed = runner(engine_, bell_.request, bell_.analysed, bell_.spectrum);
    analysing_ = false;
    bell_.table = table;
    bell_.tuning = tuning;
    bell_.tuningStatus = status;
    if (!completed) return AnalysisOutcome::Cancelled;
    return table.partialsValid ? AnalysisOutcome::Named : AnalysisOutcome::Unnamed;
}

AnalysisOutcome Session::AnalyseAgain(const AnalysisParameters& parameters, const TransformRunner& runner) {
    AnalysisParameters accepted = parameters;
    AnalysisRequest request = bell_.request;
    if (State() != SessionState::Idle || bell_.recording.Empty() || !AcceptParameters(accepted, request)) {
        return AnalysisOutcome::Refused;
    }
    if (uncut_.Empty()) uncut_ = bell_.recording;
    const std::int32_t length = request.recordLength;
    bell_.recording = uncut_;
    if (uncut_.Length() != length) {
        const std::int16_t* data = uncut_.Data();
        const std::int32_t kept = std::min(length, uncut_.Length() - uncut_.paddedSamples);
        std::vector<std::int16_t> samples(data, data + kept);
        samples.resize(static_cast<std::size_t>(length), 0);
        bell_.recording = WithSamples(uncut_, std::move(samples));
        bell_.recording.paddedSamples = length - kept;
    }
    bell_.parameters = accepted;
    const std::string file = bell_.request.waveFileName;
    bell_.request = request;
    bell_.request.waveFileName = file;
    bell_.strikes.Reset();
    const AnalysisOutcome outcome = Analyse(runner);
    if (outcome == AnalysisOutcome::Named || outcome == AnalysisOutcome::Unnamed) {
        bell_.tuningStatus = "Measured again from the same recording with other parameters.";
    }
    return outcome;
}

void Session::TakePartials(const PartialTable& table) {
    bell_.strikes.Reset();
    bell_.table = table;
    bell_.table.UpdateCentsAndNotes();
    bell_.tuning = ReportFromTable(bell_.table, ideal_);
    bell_.tuningStatus = std::string("From the partials file alone: frequencies and cents as the file holds them; ") +
                         kFromTableAlone;
}

bool Session::ShowStartupBell(const AnalysisParameters& parameters) {
    bell_.parameters = parameters;
    AnalysisRequest& request = bell_.request;
    request.startFrequency = parameters.startFrequency;
    request.endFrequency = parameters.endFrequency;
    request.interval = parameters.interval;
    request.steps = StepsFor(parameters.startFrequency, parameters.endFrequency, parameters.interval);
    request.sampleRate = kRecordingRate;
    return PrepareStartupSpectrum(bell_.spectrum, bell_.table, request, parameters.lowNominal,
                                  parameters.highNominal);
}

void Session::AddPartial(double frequencyHz, double amplitude, double lowNominal, double highNominal) {
    PartialTable& table = bell_.table;
    table.AddPeak(frequencyHz, 0, amplitude, 0, 0, NoPartial);
    const bool allowFallback =
        lowNominal > bell_.spectrum.startFrequency || highNominal < bell_.spectrum.endFrequency;
    table.nominal = table.FindNominal(allowFallback, lowNominal, highNominal);
    table.UpdateCentsAndNotes();
    // The added row may be a partial, or move the nominal and every name with
    // it: the report follows the table. An added partial is no strike, so the
    // strike averages keep what they had.
    const bool recordingKept = bell_.sound != SoundState::None && !bell_.analysed.Empty();
    if (bell_.tuning.measured && recordingKept) {
        bell_.tuning = ReportTuning(bell_.analysed, bell_.request, table, ideal_, bell_.facts,
                                    bell_.recording.Length());
        return;
    }
    if (bell_.tuning.measured) {
        bell_.tuningStatus = std::string("From the partials table alone: there is no recording to measure; ") +
                             kFromTableAlone;
    }
    bell_.tuning = ReportFromTable(table, ideal_);
}

void Session::SetIdeal(const IdealTuning& ideal) {
    ideal_ = ideal;
    ApplyIdeal(bell_.tuning, ideal_);
    // Deviations averaged against another ideal would mix two references.
    bell_.strikes.Reset();
}
