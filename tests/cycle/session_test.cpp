// The record-analyse cycle without a window: a recorder fed block by block, the session taking its
// recordings, analysing them through a runner that waits (or cancels) and keeping the bell.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "../data/test_files.h"
#include "../support/test_bell.h"
#include "cycle/analyse_recording.h"
#include "cycle/session.h"
#include "data/wave_file.h"

namespace {

constexpr std::int32_t kTwoSeconds = 88200;

// Hands `samples` to the recorder in capture blocks, the last one filled up with silence.
void Feed(Recorder& recorder, const std::vector<std::int16_t>& samples) {
    for (std::size_t first = 0; first < samples.size(); first += kCaptureBlockSamples) {
        std::vector<std::int16_t> block(kCaptureBlockSamples, 0);
        std::copy(samples.begin() + static_cast<std::ptrdiff_t>(first),
                  samples.begin() + static_cast<std::ptrdiff_t>(std::min(samples.size(), first + kCaptureBlockSamples)),
                  block.begin());
        recorder.OnInputBlock(block.data(), kCaptureBlockSamples);
    }
}

// The transform started and cancelled at once, as a user who presses "Cancel" in the progress dialog.
bool CancelTransform(SpectrumAnalyser& engine, const AnalysisRequest& request, const Recording& analysed,
                     Spectrum& spectrum) {
    if (!engine.StartTransform(request, analysed.Data(), analysed.Length())) return false;
    engine.RequestCancel();
    while (!engine.Done()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return CompleteTransform(engine, request, spectrum);
}

std::vector<BellPartial> Scaled(double factor) {
    std::vector<BellPartial> bell = kTestBell;
    for (BellPartial& p : bell) p.frequency *= factor;
    return bell;
}

// Silence, then the bell: the trigger fires on the block after the quiet ones.
std::vector<std::int16_t> Strike(std::int32_t length, const std::vector<BellPartial>& bell = kTestBell) {
    std::vector<std::int16_t> samples(2 * kCaptureBlockSamples, 0);
    const std::vector<std::int16_t> ringing = BellSamples(length, bell);
    samples.insert(samples.end(), ringing.begin(), ringing.end());
    return samples;
}

struct SessionTest : ::testing::Test {
    Recorder recorder;
    Session session{recorder};
    const Bell& bell = session.Current();
};

// One strike analysed with a speed adjustment; the captured samples are kept as they came and outlive the
// next arming; a cancelled analysis keeps the recording for saving; a stop drops the recording in progress.
TEST_F(SessionTest, LiveStrikeCancelAndStop) {
    AnalysisParameters parameters;
    parameters.interval = 0;
    EXPECT_FALSE(session.StartLive(parameters, {}));
    EXPECT_EQ(session.State(), SessionState::Idle) << "nothing armed for parameters no analysis takes";
    parameters.interval = 0.5;
    parameters.speedAdjust = 1.02;
    ASSERT_TRUE(session.StartLive(parameters, {true, 25}));
    const std::vector<std::int16_t> strike = Strike(kTwoSeconds);
    Feed(recorder, {strike.begin(), strike.begin() + 2 * kCaptureBlockSamples});
    EXPECT_EQ(session.State(), SessionState::Armed);
    Feed(recorder, {strike.begin() + 2 * kCaptureBlockSamples, strike.end()});
    ASSERT_EQ(session.OnRecordingDone(WaitForTransform, false, {}), AnalysisOutcome::Named);
    EXPECT_EQ(session.State(), SessionState::Idle);
    EXPECT_TRUE(std::equal(strike.begin() + 2 * kCaptureBlockSamples, strike.end(), bell.recording.Data()));
    EXPECT_EQ(std::tuple(bell.recording.Length(), bell.analysed.Length(), bell.sound),
              std::tuple(kTwoSeconds, 86470, SoundState::Recorded)) << "trunc(88200 / 1.02) analysed, 88200 kept";
    EXPECT_NEAR(bell.table.nominal, kBellNominal * 1.02, 0.5);
    EXPECT_TRUE(bell.tuning.measured && bell.tuningStatus == "Measured from the recording.");
    EXPECT_EQ(bell.strikes.accepted() + bell.strikes.rejected(), 0) << "single shot: no averages";

    const Recording first = bell.recording;
    session.ForgetResults();
    ASSERT_TRUE(session.StartLive(parameters, {true, 25}));
    EXPECT_TRUE(bell.sound == SoundState::None && !bell.table.partialsValid && bell.recording.samples == first.samples)
        << "no longer offered for saving, but still held";
    Feed(recorder, strike);
    EXPECT_EQ(session.OnRecordingDone(CancelTransform, true, {}), AnalysisOutcome::Cancelled);
    EXPECT_TRUE(bell.sound == SoundState::Recorded && !bell.spectrum.Measured() && !bell.table.partialsValid);
    EXPECT_EQ(session.State(), SessionState::Idle) << "a cancel ends continuous mode";
    EXPECT_EQ(bell.tuningStatus, "Measured from the recording.") << "a cancel changes no figures";

    int analyses = 0;
    const TransformRunner counting = [&](SpectrumAnalyser& e, const AnalysisRequest& r, const Recording& a, Spectrum& s) {
        ++analyses;
        return WaitForTransform(e, r, a, s);
    };
    ASSERT_TRUE(session.StartLive(parameters, {false, 25}));
    Feed(recorder, {strike.begin(), strike.begin() + kCaptureBlockSamples});
    EXPECT_EQ(session.State(), SessionState::Recording);
    session.Stop();
    Feed(recorder, strike);
    EXPECT_EQ(session.OnRecordingDone(counting, false, {}), AnalysisOutcome::Refused);
    EXPECT_EQ(std::tuple(analyses, bell.sound, session.State()), std::tuple(0, SoundState::None, SessionState::Idle));
}

// In continuous mode every completed strike is averaged and the recorder armed again; a strike of another bell
// is left out of the averages; a band too narrow to name partials in still re-arms.
TEST_F(SessionTest, ContinuousStrikesAreAveraged) {
    AnalysisParameters parameters;
    parameters.interval = 1.0;  // 44100 samples a recording
    ASSERT_TRUE(session.StartLive(parameters, {true, 25}));
    for (int strike = 1; strike <= 2; ++strike) {
        Feed(recorder, Strike(44100));
        ASSERT_EQ(session.OnRecordingDone(WaitForTransform, true, {true, 25}), AnalysisOutcome::Named);
        EXPECT_EQ(std::tuple(bell.strikes.accepted(), session.State()), std::tuple(strike, SessionState::Armed));
    }
    Feed(recorder, Strike(44100, Scaled(1.1)));
    ASSERT_EQ(session.OnRecordingDone(WaitForTransform, true, {true, 25}), AnalysisOutcome::Named);
    EXPECT_EQ(std::tuple(bell.strikes.accepted(), bell.strikes.rejected(), bell.tuningStatus),
              std::tuple(2, 1, std::string("This strike was left out of the averages.")));
    EXPECT_EQ(recorder.Threshold(), 25 * 327);
    session.Stop();

    parameters.startFrequency = 1000, parameters.endFrequency = 1040, parameters.highNominal = 1040;
    ASSERT_TRUE(session.StartLive(parameters, {false, 0}));
    Feed(recorder, BellSamples(44100));
    ASSERT_EQ(session.OnRecordingDone(WaitForTransform, true, {true, 60}), AnalysisOutcome::Unnamed);
    EXPECT_TRUE(bell.spectrum.Measured() && !bell.table.partialsValid && bell.tuning.partials.empty());
    EXPECT_EQ(std::tuple(session.State(), recorder.Threshold()), std::tuple(SessionState::Armed, 60 * 327))
        << "armed again with the trigger as the controls hold it now";
    session.SetIdeal(TemperedTuning());
    EXPECT_TRUE(session.Ideal().name == "tempered" && bell.strikes.accepted() + bell.strikes.rejected() == 0);
}

// A sound file goes through the trigger and the same analysis; a file that cannot be read changes nothing; an
// added partial is measured from the recording, or taken from the table alone when there is none to measure.
TEST_F(SessionTest, FilesPartialsFilesAndAddedPartials) {
    TemporaryFolder folder;
    std::vector<BellPartial> noQuint = kTestBell;
    std::erase_if(noQuint, [](const BellPartial& p) { return p.index == 6; });
    std::vector<std::int16_t> samples(20000, 0);
    const std::vector<std::int16_t> ringing = BellSamples(kTwoSeconds, noQuint);
    samples.insert(samples.end(), ringing.begin(), ringing.end());
    const std::string path = folder.File("bell.wav");
    ASSERT_TRUE(SaveWaveFile(path, WithSamples({}, samples)));
    AnalysisParameters parameters;
    FileCapture capture;
    AnalysisOutcome outcome = AnalysisOutcome::Refused;
    ASSERT_EQ(session.AnalyseFile(path, parameters, 25, WaitForTransform, capture, outcome), kFileCaptured);
    ASSERT_EQ(outcome, AnalysisOutcome::Named);
    EXPECT_EQ(std::tuple(bell.request.waveFileName, bell.recording.sourceFile, bell.recording.triggerSample,
                         bell.recording.paddedSamples, bell.tuningStatus),
              std::tuple(path, path, 16384, 0, "Measured from " + path + "."));

    const Recording kept = bell.recording;
    EXPECT_EQ(session.AnalyseFile(folder.File("missing.wav"), parameters, 25, WaitForTransform, capture, outcome),
              kFileUnreadable);
    EXPECT_TRUE(outcome == AnalysisOutcome::Refused && bell.recording.samples == kept.samples);

    const auto named = [this](const char* name) {
        for (const TunedPartial& p : bell.tuning.partials) {
            if (p.name == name) return true;
        }
        return false;
    };
    ASSERT_FALSE(named("quint"));
    const double quint = std::round(0.748 * kBellNominal * 2.0) / 2.0;
    session.AddPartial(quint, 1.0, parameters.lowNominal, parameters.highNominal);
    EXPECT_TRUE(bell.tuning.measured && named("quint") && bell.table.HasPeakIn(quint, quint + 0.1));
    EXPECT_TRUE(bell.tuning.partials.front().t60Seconds.has_value()) << "measured from the recording";

    session.ForgetResults();
    session.AddPartial(3.0 * kBellNominal, 1.0, parameters.lowNominal, parameters.highNominal);
    EXPECT_FALSE(bell.tuning.measured);
    EXPECT_EQ(bell.tuningStatus.rfind("From the partials table alone: there is no recording to measure;", 0), 0u);

    PartialTable read = bell.table;
    session.TakePartials(read);
    EXPECT_TRUE(!bell.tuning.measured && bell.tuningStatus.rfind("From the partials file alone:", 0) == 0);
}

// A calibration records 3 s of a reference tone from the trigger and measures it without the speed adjustment,
// leaving the bell as it was; a stop ends it.
TEST_F(SessionTest, CalibrationFromAReferenceTone) {
    const Recording before = bell.recording;
    std::vector<std::int16_t> tone(2 * kCaptureBlockSamples, 0);
    for (int i = 0; i < kCalibrationSamples + kCaptureBlockSamples; ++i) {
        tone.push_back(static_cast<std::int16_t>(std::lround(9000.0 * std::sin(2.0 * M_PI * 599.7 * i / 44100.0))));
    }
    ASSERT_TRUE(session.StartCalibration({true, 10}));
    EXPECT_TRUE(session.Calibrating() && session.State() == SessionState::Armed);
    Feed(recorder, tone);
    ToneMeasurement measured;
    ASSERT_EQ(session.FinishCalibration(600.0, measured), kToneMeasured);
    EXPECT_NEAR(measured.speedAdjust, 600.0 / 599.7, 2e-6);
    EXPECT_TRUE(!session.Calibrating() && bell.recording.samples == before.samples && bell.sound == SoundState::None);
    ASSERT_TRUE(session.StartCalibration({false, 0}));
    session.Stop();
    Feed(recorder, tone);
    EXPECT_EQ(session.FinishCalibration(600.0, measured), kToneTooShort);
}

// A kept measurement shown again: the spectrum made anew from the recording and its parameters, the table and
// report exactly those kept (not found again), nothing to save. Then analysed again at other intervals: a
// longer recording is cut, a shorter one padded (and the report says so).
TEST_F(SessionTest, AKeptMeasurementShownAndAnalysedAgain) {
    AnalysisParameters parameters;
    EXPECT_EQ(session.AnalyseAgain(parameters, WaitForTransform), AnalysisOutcome::Refused) << "no recording yet";
    parameters.speedAdjust = 1.01;
    ASSERT_TRUE(session.StartLive(parameters, {false, 0}));
    Feed(recorder, BellSamples(kTwoSeconds));
    ASSERT_EQ(session.OnRecordingDone(WaitForTransform, true, {false, 0}), AnalysisOutcome::Named);
    session.Stop();
    ASSERT_TRUE(session.StartLive(parameters, {true, 100}));
    EXPECT_EQ(session.AnalyseAgain(parameters, WaitForTransform), AnalysisOutcome::Refused) << "not while armed";
    EXPECT_EQ(session.ShowKept(bell.recording, parameters, bell.table, bell.tuning, "", WaitForTransform),
              AnalysisOutcome::Refused);
    session.Stop();
    const Bell kept = bell;
    PartialTable edited = kept.table;
    edited.frequency[0] += 0.25;  // as if "Add Partial" had changed it before it was kept
    TuningReport report = kept.tuning;
    report.partials.front().frequencyHz = 1.0;
    ASSERT_EQ(session.ShowKept(kept.recording, kept.parameters, edited, report, "kept", WaitForTransform),
              AnalysisOutcome::Named);
    EXPECT_EQ(std::tuple(bell.table.frequency[0], bell.tuning.partials.front().frequencyHz, bell.tuningStatus, bell.sound),
              std::tuple(edited.frequency[0], 1.0, std::string("kept"), SoundState::Saved));
    EXPECT_TRUE(bell.spectrum.Measured() && bell.spectrum.magnitudes == kept.spectrum.magnitudes) << "the same spectrum again";
    EXPECT_EQ(bell.strikes.accepted(), 0) << "averages only beside the live strikes they came from";

    parameters.speedAdjust = 1.0;
    for (const auto& [interval, length, padded] : {std::tuple(1.0, 44100, 0), std::tuple(0.25, 176400, 88200)}) {
        parameters.interval = interval;
        ASSERT_EQ(session.AnalyseAgain(parameters, WaitForTransform), AnalysisOutcome::Named) << interval;
        EXPECT_EQ(std::tuple(bell.recording.Length(), bell.recording.paddedSamples), std::tuple(length, padded));
        EXPECT_NEAR(bell.table.nominal, kBellNominal, interval);
        EXPECT_TRUE(std::equal(bell.recording.Data(), bell.recording.Data() + 44100, kept.recording.Data()));
    }
    EXPECT_EQ(bell.tuning.warnings.front().code, kWarnPadded);
    parameters.interval = 0;
    EXPECT_EQ(session.AnalyseAgain(parameters, WaitForTransform), AnalysisOutcome::Refused);
}

}  // namespace
