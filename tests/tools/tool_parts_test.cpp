#include <gtest/gtest.h>

#include <sndfile.h>

#include "../data/test_files.h"
#include "cycle/analysis_parameters.h"
#include "tools/capture_emulation.h"
#include "tools/result_output.h"
#include "tools/sound_file_input.h"
#include "tools/tool_options.h"

namespace {

bool Accept(AnalysisParameters p, AnalysisRequest* out = nullptr, AnalysisParameters* corrected = nullptr) {
    AnalysisRequest request;
    const bool ok = AcceptParameters(p, request);
    if (out) *out = request;
    if (corrected) *corrected = p;
    return ok;
}

TEST(ToolParameters, TheWindowsAcceptanceRulesAndCorrections) {
    AnalysisRequest request;
    ASSERT_TRUE(Accept({}, &request));
    EXPECT_EQ(request.steps, 10000);
    EXPECT_EQ(request.recordLength, 88200);
    EXPECT_EQ(request.firstSample, 0);
    EXPECT_EQ(request.lastSample, 88200);
    EXPECT_EQ(request.sampleRate, 44100);

    const struct { AnalysisParameters p; bool accepted; } cases[] = {
        {{1000, 1000, 0.5, 1.0, 0, 5000}, false},   {{0, 6250.0625, 0.0625, 1.0, 0, 5000}, true},  // 100001 steps
        {{0, 6250.125, 0.0625, 1.0, 0, 5000}, false}, {{0, 22000, 0.5, 1.0, 0, 5000}, true},
        {{0, 22000.5, 0.5, 1.0, 0, 5000}, false},     {{0, 5000, 0.0, 1.0, 0, 5000}, false},  // no infinite quotient
        {{0, 5000, 0.5, 1.11, 0, 5000}, false},       {{0, 5000, 0.5, 1.0, 3000, 2000}, false}};
    for (const auto& c : cases) EXPECT_EQ(Accept(c.p), c.accepted) << c.p.endFrequency << " " << c.p.interval;
    ASSERT_TRUE(Accept({0, 6250.0625, 0.0625, 1.0, 0, 5000}, &request));
    EXPECT_EQ(request.steps, 100001);
    AnalysisParameters p;
    ASSERT_TRUE(Accept({200, 5000, 0.5, 1.0, 0, 200}, nullptr, &p));
    EXPECT_EQ(p.lowNominal, 200.0);
    EXPECT_EQ(p.highNominal, 5000.0);
    ASSERT_TRUE(Accept({0, 3000, 0.5, 1.0, 0, 4000}, nullptr, &p));
    EXPECT_EQ(p.highNominal, 3000.0);

    // Above the edit's range of 5 Hz: a warning, yet analysed.
    ASSERT_TRUE(Accept({0, 5000, 6.0, 1.0, 0, 5000}, &request));
    EXPECT_EQ(request.recordLength, 7350);
    AnalysisParameters wide;
    wide.interval = 6.0;
    EXPECT_EQ(OutOfRangeParameters(wide), std::vector<std::string>{"--interval 6 is outside 0.05 ... 5"});
}

TEST(ToolOptions, ValuesAreReadWithoutLocaleAndFaultsAreNamed) {
    ToolOptions o;
    std::string error;
    ASSERT_TRUE(ParseToolOptions({"--start", "100.5", "--end=3000", "--trigger", "0", "--no-trigger",
                                  "--format", "json", "a.wav", "--", "--b.wav"},
                                 o, error));
    EXPECT_EQ(o.parameters.startFrequency, 100.5);
    EXPECT_EQ(o.parameters.endFrequency, 3000.0);
    EXPECT_EQ(o.triggerLevel, 0);
    EXPECT_FALSE(o.waitForTrigger);
    EXPECT_EQ(o.format, OutputFormat::Json);
    EXPECT_EQ(o.inputs, (std::vector<std::string>{"a.wav", "--b.wav"}));

    const std::vector<std::vector<std::string>> bad = {
        {"--start", "1,5"}, {"--start", "nan"}, {"--end", "1e999"}, {"--interval"},
        {"--trigger", "101"}, {"--trigger", "2.5"}, {"--format", "xml"}, {"--loud"},
        {"--no-trigger=1"}, {"-o", ""}};
    for (const auto& args : bad) {
        ToolOptions fresh;
        error.clear();
        EXPECT_FALSE(ParseToolOptions(args, fresh, error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}

TEST(ToolOptions, UsageNeedsOneTargetPerResult) {
    TemporaryFolder folder;
    auto usage = [&](std::vector<std::string> args) {
        ToolOptions o;
        std::string error;
        return ParseToolOptions(args, o, error) && CheckToolUsage(o, error);
    };
    EXPECT_FALSE(usage({}));
    EXPECT_TRUE(usage({"a.wav"}));
    EXPECT_FALSE(usage({"a.wav", "b.wav"}));  // two partials files on stdout
    EXPECT_TRUE(usage({"--format", "table", "a.wav", "b.wav"}));
    EXPECT_FALSE(usage({"-o", "x.par", "--format", "table", "a.wav", "b.wav"}));
    EXPECT_FALSE(usage({"--spectrum", "s.csv", "--format", "json", "a.wav", "b.wav"}));
    EXPECT_TRUE(usage({"--out-dir", folder.Path(), "a.wav", "b.flac"}));
    EXPECT_FALSE(usage({"--out-dir", folder.Path(), "x/a.wav", "y/a.flac"}));
    EXPECT_FALSE(usage({"--out-dir", folder.File("missing"), "a.wav"}));
    EXPECT_FALSE(usage({"--out-dir", folder.Path(), "-o", "x.par", "a.wav"}));
    EXPECT_EQ(OutputNameFor("dir/tenor.take2.wav", OutputFormat::Par), "tenor.take2.par");
}

TEST(ToolCapture, RecordingStartsWithTheFirstBlockAboveTheThreshold) {
    // Level 25: threshold 8175. A peak of exactly 8175 and negative peaks do
    // not fire it; 8176 in block 3 does, and block 3 is recorded from its
    // first sample.
    std::vector<std::int16_t> input(8 * 8192, 0);
    input[100] = 8175;
    input[8192 + 5] = -32768;
    for (std::size_t i = 0; i < input.size(); ++i) input[i] = input[i] ? input[i] : static_cast<std::int16_t>(i % 7);
    input[3 * 8192 + 4000] = 8176;
    SoundBuffer sound;
    CaptureResult result = EmulateCapture(input, 10000, true, 25, sound);
    ASSERT_TRUE(result.recorded);
    EXPECT_EQ(result.startSample, 3 * 8192);
    EXPECT_EQ(result.paddedSamples, 0);
    ASSERT_EQ(sound.sampleCount, 10000);
    EXPECT_EQ(sound.samples[0], input[3 * 8192]);
    EXPECT_EQ(sound.samples[9999], input[3 * 8192 + 9999]);
    EXPECT_EQ(sound.soundState, SoundState::Recorded);

    // Without the trigger from sample 0; a short input is padded with zeros.
    result = EmulateCapture(std::vector<std::int16_t>(input.begin(), input.begin() + 9000), 20000, false, 25, sound);
    ASSERT_TRUE(result.recorded);
    EXPECT_EQ(result.startSample, 0);
    EXPECT_EQ(result.paddedSamples, 11000);
    EXPECT_EQ(sound.samples[8999], input[8999]);
    EXPECT_EQ(sound.samples[9000], 0);

    // The input ends while waiting: nothing recorded.
    result = EmulateCapture(std::vector<std::int16_t>(input.begin(), input.begin() + 3 * 8192), 1000, true, 25, sound);
    EXPECT_FALSE(result.recorded);
    EXPECT_EQ(sound.state.load(), RecorderState::Stopped);
}

TEST(ToolOutput, JsonStringsAreEscaped) {
    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString("x\ny\t\x01"), "\"x\\ny\\t\\u0001\"");
    EXPECT_EQ(JsonString("C\xC3\xA9"), "\"C\xC3\xA9\"");        // valid UTF-8 stays
    EXPECT_EQ(JsonString("\xFF\xC3"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");  // invalid bytes become U+FFFD
    EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");  // no surrogates
}

TEST(ToolInput, SixteenBitMonoAt44100ComesBackSampleForSample) {
    TemporaryFolder folder;
    const std::string path = folder.File("mono.wav");
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
    std::vector<std::int16_t> frames;
    for (int i = 0; i < 5000; ++i) {
        frames.push_back(static_cast<std::int16_t>(i * 13 - 32768));
        frames.push_back(static_cast<std::int16_t>(i * 13 - 32768));
    }
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    sf_writef_short(file, frames.data(), 5000);
    sf_close(file);
    std::vector<std::int16_t> samples;
    std::string error;
    std::string warning;
    ASSERT_TRUE(LoadSoundFile(path, samples, error, warning)) << error;
    ASSERT_EQ(samples.size(), 5000u);
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(samples[i], frames[2 * i]) << i;
    EXPECT_TRUE(warning.empty());

    WriteWholeFile(folder.File("text.wav"), "this is no sound\n");
    EXPECT_FALSE(LoadSoundFile(folder.File("text.wav"), samples, error, warning));
    EXPECT_FALSE(error.empty());
}

}  // namespace
