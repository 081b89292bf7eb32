#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "../data/test_files.h"
#include "../support/test_bell.h"
#include "analysis/spectrum.h"
#include "cycle/analyse_recording.h"
#include "cycle/file_capture.h"
#include "data/recording.h"
#include "data/wave_file.h"
#include "partials/partial_table.h"
#include "tuning/bell_synthesis.h"

namespace {

using Bell = std::vector<BellPartial>;
const Bell& kBell = kTestBell;

// A recording at 44100 Hz and what analysing it needs, the request as the main window holds it.
struct Analysis {
    Analysis(const Bell& bell, std::int32_t length) : sound(WithSamples({}, BellSamples(length, bell))) {}
    bool Run(double start, double end, double interval, double speed = 1.0, double low = 0, double high = 5000) {
        std::tie(request.startFrequency, request.endFrequency, request.interval) = std::tuple(start, end, interval);
        std::tie(request.firstSample, request.lastSample, request.sampleRate, request.steps) = std::tuple(0, 88200, 44100, 0);
        return AnalyseRecording(sound, speed, request, spectrum, table, low, high);
    }
    Recording sound;
    AnalysisRequest request;
    Spectrum spectrum;
    PartialTable table;
};

// Row by row the bell's partials and nothing else, within `tolerance` Hz of frequency x `speed`, cents from the nominal.
void ExpectNamed(const PartialTable& t, const Bell& bell, double speed, double tolerance) {
    ASSERT_EQ(t.count, static_cast<int>(bell.size()));
    for (int i = 0; i < t.count; ++i) {
        EXPECT_EQ(t.partialIndex[i], bell[i].index) << i;
        EXPECT_NEAR(t.frequency[i], bell[i].frequency * speed, tolerance) << i;
        EXPECT_NEAR(t.cents[i], 1200.0 * std::log2(bell[i].frequency / kBellNominal), 12.0) << i;  // one spectrum point at the hum
    }
    EXPECT_EQ(std::tuple(t.nominal, t.cents[t.count - 3], t.note[t.count - 3], t.partialsValid),
              std::tuple(t.frequency[t.count - 3], 0.0, NoteName(t.nominal), 1));
}

// The engine pads a short recording; smoothing gets the stretch the window asks for, not the recording's.
TEST(AnalyseRecording, SyntheticBellIsNamed) {
    const struct { double speed; std::int32_t length; double start, end, interval; std::int32_t stretched, steps;
                   double resolution; } cases[] = {{1.0, 88200, 0, 5000, 0.5, 88200, 10000, 1.0},
                                                   {1.02, 88200, 0, 5000, 0.5, 86470, 10000, 1.0},
                                                   {1.0, 44100, 100, 3000, 1.0, 44100, 2900, 0.5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.speed * c.interval);
        Analysis a(kBell, c.length);
        ASSERT_TRUE(a.Run(c.start, c.end, c.interval, c.speed, 0.0, c.end));
        EXPECT_EQ(std::tuple(a.sound.Length(), a.request.steps, a.spectrum.steps, a.spectrum.resolutionRatio,
                             a.spectrum.Measured(), a.spectrum.Smoothed()),
                  std::tuple(c.stretched, c.steps, c.steps, c.resolution, true, true));
        ExpectNamed(a.table, kBell, c.speed, c.interval);
    }
}

// Without a hum only the fallback finds the nominal, and only when the limits narrow the band on either side.
TEST(AnalyseRecording, FallbackOnlyWhenTheLimitsNarrowTheBand) {
    const Bell noHum(kBell.begin() + 1, kBell.end());
    for (const auto& [low, high, nominal] : {std::array<double, 3>{0, 5000, 0}, {550, 5000, kBellNominal}, {0, 650, kBellNominal}}) {
        Analysis a(noHum, 88200);
        ASSERT_TRUE(a.Run(0.0, 5000.0, 0.5, 1.0, low, high));
        EXPECT_EQ(a.table.partialsValid, 1) << "the identification ran, even without a nominal";
        EXPECT_NEAR(a.table.nominal, nominal, 0.5) << low << " " << high;
        if (nominal > 0) ExpectNamed(a.table, noHum, 1.0, 0.5);
    }
}

// Refused requests change nothing; a band too narrow to smooth still leaves its complete spectrum.
TEST(AnalyseRecording, RefusalsKeepTheOldRows) {
    Analysis a(kBell, 88200);
    a.table.AddPeak(123.0, 0.0, 1.0, 0.0, 0.0, NoPartial);
    a.table.partialsValid = 1;
    for (const auto& [start, end, interval, speed] : {std::array<double, 4>{0, 5000, 0, 1}, {500, 400, 0.5, 1},
             {0, 5000, std::nan(""), 1}, {0, 5000, 0.5, 0}, {0, 5000, 0.5, std::nan("")}, {0, 5000, 0.5, 1e-9}}) {
        EXPECT_FALSE(a.Run(start, end, interval, speed));
        EXPECT_EQ(std::tuple(a.request.steps, a.sound.Length(), a.spectrum.steps, a.table.partialsValid), std::tuple(0, 88200, 0, 1));
    }
    EXPECT_FALSE(a.Run(590.0, 610.0, 0.5));  // 40 intervals: too few for the smoothing kernel
    EXPECT_EQ(std::tuple(a.spectrum.Measured(), a.spectrum.Smoothed(), a.table.partialsValid, a.table.count), std::tuple(true, false, 0, 1));
}

// A file silent up to sample 20000 and 8000 after, to sample 30000: the automatic trigger (2000) starts the recording
// with the block of 8192 samples holding sample 20000; a trigger level above the file never fires; a missing file.
TEST(FileCapture, RecordsAFileAsTheRecorderWould) {
    TemporaryFolder folder;
    std::vector<std::int16_t> step(30000, 0);
    std::fill(step.begin() + 20000, step.end(), 8000);
    ASSERT_TRUE(SaveWaveFile(folder.File("step.wav"), WithSamples({}, step)));
    Recording sound;
    FileCapture r;
    ASSERT_EQ(CaptureSoundFile(folder.File("step.wav"), 20000, true, true, 25, sound, r), kFileCaptured);
    EXPECT_EQ(std::tuple(r.threshold, r.capture.startSample, r.capture.paddedSamples, r.cut, sound.Length(),
                         sound.triggerSample, sound.paddedSamples, sound.sourceFile),
              std::tuple(2000, 16384, 6384, false, 20000, 16384, 6384, folder.File("step.wav")));
    const std::int16_t* s = sound.Data();
    EXPECT_EQ(std::tuple(s[3615], s[3616], s[13615], s[13616]), std::tuple(0, 8000, 8000, 0));
    const Recording kept = sound;
    EXPECT_EQ(CaptureSoundFile(folder.File("step.wav"), 20000, true, false, 25, sound, r), kFileTriggerNeverFired);
    EXPECT_EQ(std::pair(r.threshold, r.capture.recorded), std::pair(8175, false));
    EXPECT_EQ(sound.samples, kept.samples) << "a file that never fires leaves the recording";
    EXPECT_EQ(CaptureSoundFile(folder.File("missing.wav"), 20000, true, true, 25, sound, r), kFileUnreadable);
    EXPECT_FALSE(r.readError.empty());
    EXPECT_STREQ(FileCaptureText(kFileTriggerNeverFired), "The trigger never fired!");
}

// A bell built from its own tuning report is the same bell to the analysis: the named partials within 0.02
// cents, the T60s within 5 %, the levels within 0.5 dB of each other; built as tuned, every partial on its ideal.
TEST(BellSynthesis, ASynthesisedBellMeasuresAsItsReportSays) {
    const auto measure = [](const std::vector<std::int16_t>& samples) {
        Recording recording = WithSamples({}, samples);
        AnalysisRequest request{0.0, 5000.0, 0.5, 0, 0, 88200, 44100, 88200, {}};
        Spectrum spectrum;
        PartialTable table;
        TuningReport tuning;
        EXPECT_TRUE(AnalyseRecording(recording, 1.0, request, spectrum, table, 0.0, 5000.0, JustTuning(), tuning));
        return tuning;
    };
    const TuningReport bell = measure(BellSamples(88200));
    const TuningReport again = measure(SynthesiseBell(bell, false, 88200, 44100.0));
    ASSERT_EQ(again.partials.size(), bell.partials.size());
    const double shift = *again.partials[0].levelDb - *bell.partials[0].levelDb;  // the synthesis sets its own peak
    for (std::size_t i = 0; i < bell.partials.size(); ++i) {
        const TunedPartial &a = again.partials[i], &b = bell.partials[i];
        SCOPED_TRACE(b.name);
        EXPECT_EQ(a.name, b.name);
        EXPECT_NEAR(1200.0 * std::log2(a.frequencyHz / b.frequencyHz), 0.0, 0.02);
        ASSERT_TRUE(a.t60Seconds && b.t60Seconds);
        EXPECT_NEAR(*a.t60Seconds / *b.t60Seconds, 1.0, 0.05);
        EXPECT_NEAR(*a.levelDb - *b.levelDb, shift, 0.5);
    }
    for (const TunedPartial& p : measure(SynthesiseBell(bell, true, 88200, 44100.0)).partials) {
        if (p.deviationCents) {
            EXPECT_NEAR(*p.deviationCents, 0.0, 0.05) << p.name;
        }
    }
    EXPECT_TRUE(SynthesiseBell(ReportFromTable(PartialTable{}, JustTuning()), false, 100, 44100.0).empty());
}

}  // namespace
