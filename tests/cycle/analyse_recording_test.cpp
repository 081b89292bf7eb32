#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "analysis/spectrum_analyser.h"
#include "cycle/analyse_recording.h"
#include "data/sound_buffer.h"
#include "partials/partial_table.h"

namespace {

constexpr std::int16_t kHum = 0, kPrime = 1, kTierce = 2, kNominal = 3, kSuperquint = 4,
                       kOctave = 5, kQuint = 6;

struct Partial {
    std::int16_t index;
    double frequency;  // Hz
    double amplitude;  // sample units
    double decay;      // time constant, s
};

// A struck bell with its nominal at 600.3 Hz, partial ratios slightly off the
// ideal ones as in a real bell.
std::vector<Partial> Bell() {
    const double f = 600.3;
    return {{kHum, 0.2505 * f, 4000, 3.0},      {kPrime, 0.5012 * f, 3000, 2.0},
            {kTierce, 0.5975 * f, 5000, 1.5},   {kQuint, 0.748 * f, 1500, 1.0},
            {kNominal, f, 8000, 1.2},           {kSuperquint, 1.503 * f, 2500, 0.8},
            {kOctave, 2.01 * f, 2000, 0.6}};
}

// The recording: `length` samples at 44100 Hz of decaying sines.
void Record(SoundBuffer& sound, const std::vector<Partial>& partials, std::int32_t length) {
    sound.SetFormat(44100, length, 16);
    const double twoPi = 6.283185307179586;
    for (std::int32_t i = 0; i < length; ++i) {
        const double t = i / 44100.0;
        double value = 0.0;
        for (std::size_t p = 0; p < partials.size(); ++p) {
            value += partials[p].amplitude * std::exp(-t / partials[p].decay) *
                     std::sin(twoPi * partials[p].frequency * t + 0.7 * p);
        }
        sound.samples[i] = static_cast<std::int16_t>(static_cast<std::int32_t>(value));
    }
}

// A recording of `length` samples and what analysing it needs, with the
// request as the main window holds it for a band and interval.
struct Analysis {
    Analysis(const std::vector<Partial>& bell, std::int32_t length, double start, double end, double interval) {
        Record(sound, bell, length);
        request = Request(start, end, interval);
    }
    static AnalysisRequest Request(double start, double end, double interval) {
        AnalysisRequest request;
        request.startFrequency = start;
        request.endFrequency = end;
        request.interval = interval;
        request.firstSample = 0;
        request.lastSample = 88200;
        request.sampleRate = 44100;
        return request;
    }
    SoundBuffer sound;
    AnalysisRequest request;
    SpectrumAnalyser engine;
    PartialTable table;
};

// Every partial is named once, within `tolerance` Hz of its frequency x
// `scale`; the rows rise strictly and the nominal is the named one.
void ExpectNamedBell(const PartialTable& table, const std::vector<Partial>& bell, double scale,
                     double tolerance) {
    for (int i = 1; i < table.count; ++i) {
        EXPECT_LT(table.frequency[i - 1], table.frequency[i]) << "row " << i;
    }
    for (const Partial& partial : bell) {
        int found = -1;
        for (int i = 0; i < table.count; ++i) {
            if (table.partialIndex[i] == partial.index) {
                EXPECT_EQ(found, -1) << "named twice: " << table.partialNames[partial.index];
                found = i;
            }
        }
        ASSERT_GE(found, 0) << "not named: " << table.partialNames[partial.index];
        EXPECT_NEAR(table.frequency[found], partial.frequency * scale, tolerance)
            << table.partialNames[partial.index];
        // Cents from the nominal, within the error of one spectrum point at
        // the lowest partial.
        const double nominalHz = 600.3;
        EXPECT_NEAR(table.cents[found], 1200.0 * std::log2(partial.frequency / nominalHz), 12.0)
            << table.partialNames[partial.index];
        if (partial.index == kNominal) {
            EXPECT_EQ(table.nominal, table.frequency[found]);
            EXPECT_EQ(table.cents[found], 0.0);
            EXPECT_EQ(table.note[found], NoteName(table.frequency[found]));
        }
    }
}

TEST(AnalyseRecordingTest, SyntheticBellIsNamedWithAndWithoutSpeedAdjust) {
    for (const double speed : {1.0, 1.02}) {
        Analysis a(Bell(), 88200, 0.0, 5000.0, 0.5);
        auto& [sound, request, engine, table] = a;
        ASSERT_TRUE(AnalyseRecording(sound, speed, request, engine, table, 0.0, 5000.0));
        EXPECT_EQ(sound.sampleCount, speed == 1.0 ? 88200 : 86470) << "stretched first";
        EXPECT_EQ(request.steps, 10000);
        EXPECT_EQ(engine.spectrumValid, 1);
        EXPECT_EQ(engine.resolutionRatio, 1.0) << "2 s stretch (88200 samples) on a 0.5 Hz grid";
        EXPECT_EQ(engine.running, 0);
        EXPECT_EQ(table.partialsValid, 1);
        EXPECT_EQ(table.count, 7) << "a clean recording has no other peaks";
        ExpectNamedBell(table, Bell(), speed, 0.5);
    }
}

TEST(AnalyseRecordingTest, CoarserIntervalAndShorterRecording) {
    // At 1 Hz a recording holds 44100 samples; the window still asks for
    // 88200 and the engine pads.
    Analysis a(Bell(), 44100, 100.0, 3000.0, 1.0);
    auto& [sound, request, engine, table] = a;
    ASSERT_TRUE(AnalyseRecording(sound, 1.0, request, engine, table, 0.0, 3000.0));
    EXPECT_EQ(request.steps, 2900);
    EXPECT_EQ(engine.resolutionRatio, 0.5) << "the stretch asked for, not the recording's length";
    ExpectNamedBell(table, Bell(), 1.0, 1.0);
}

TEST(AnalyseRecordingTest, FallbackOnlyWhenTheLimitsNarrowTheBand) {
    std::vector<Partial> noHum = Bell();
    noHum.erase(noHum.begin());
    Analysis a(noHum, 88200, 0.0, 5000.0, 0.5);
    auto& [sound, request, engine, table] = a;
    ASSERT_TRUE(AnalyseRecording(sound, 1.0, request, engine, table, 0.0, 5000.0));
    EXPECT_EQ(table.nominal, 0.0);
    EXPECT_EQ(table.partialsValid, 1) << "the identification ran, even without a nominal";

    Record(sound, noHum, 88200);
    ASSERT_TRUE(AnalyseRecording(sound, 1.0, request, engine, table, 550.0, 650.0));
    ExpectNamedBell(table, noHum, 1.0, 0.5);
}

TEST(AnalyseRecordingTest, RefusalsKeepTheOldRows) {
    Analysis a(Bell(), 88200, 0.0, 5000.0, 0.5);
    auto& [sound, request, engine, table] = a;
    table.AddPeak(123.0, 0.0, 1.0, 0.0, 0.0, NoPartial);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // start, end, interval, speed
    const double unusable[][4] = {{0, 5000, 0, 1},   {500, 400, 0.5, 1},   {0, 5000, nan, 1},
                                  {0, 5000, 0.5, 0}, {0, 5000, 0.5, nan}, {0, 5000, 0.5, 1e-9}};
    for (const auto& c : unusable) {
        request = Analysis::Request(c[0], c[1], c[2]);
        EXPECT_FALSE(AnalyseRecording(sound, c[3], request, engine, table, 0.0, 5000.0));
        EXPECT_EQ(request.steps, 0);
    }
    EXPECT_EQ(sound.sampleCount, 88200);
    EXPECT_EQ(engine.steps, 0);
    EXPECT_EQ(table.partialsValid, 1);

    // 40 intervals: too few for the smoothing kernel at this resolution.
    AnalysisRequest narrow = Analysis::Request(590.0, 610.0, 0.5);
    EXPECT_FALSE(AnalyseRecording(sound, 1.0, narrow, engine, table, 0.0, 5000.0));
    EXPECT_EQ(engine.spectrumValid, 1) << "the spectrum itself is complete";
    EXPECT_EQ(engine.smoothValid, 0);
    EXPECT_EQ(table.partialsValid, 0);
    EXPECT_EQ(table.count, 1);
}

TEST(AnalyseRecordingTest, CancelledTransformSkipsMaximumAndSmoothing) {
    // The window's way: it starts the transform itself and completes it
    // once the worker is done.
    Analysis a(Bell(), 88200, 0.0, 5000.0, 0.5);
    auto& [sound, request, engine, table] = a;
    ASSERT_TRUE(PrepareAnalysis(sound, 1.0, request, engine, table));
    ASSERT_TRUE(engine.StartTransform(request, sound.samples.get(), sound.sampleCount));
    engine.RequestCancel();
    while (engine.job.done.load(std::memory_order_acquire) != 1) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    engine.maxMagnitude = -1.0;
    EXPECT_FALSE(CompleteTransform(engine, request));
    EXPECT_EQ(engine.maxMagnitude, -1.0);
    EXPECT_EQ(engine.smoothValid, 0);
    EXPECT_EQ(engine.running, 0);

    // The engine is free again: the next analysis runs to its end.
    ASSERT_TRUE(RunTransformAndWait(engine, request, sound));
    EXPECT_GT(engine.maxMagnitude, 0.0);
    EXPECT_EQ(engine.smoothValid, 1);
    EXPECT_TRUE(NamePartials(engine, table, 0.0, 5000.0));
    ExpectNamedBell(table, Bell(), 1.0, 0.5);
}

}  // namespace
