// The tuning report as campanor-analyse writes it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "bell_tones.h"
#include "data/number_text.h"
#include "data/sound_buffer.h"
#include "data/wave_file.h"
#include "tools/analyse_tool.h"
#include "tools/tuning_output.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The number after `key` in `text`, or nan.
double NumberAfter(const std::string& text, const std::string& key) {
    const std::size_t at = text.find(key);
    double value = NAN;
    std::size_t pos = at + key.size();
    if (at == std::string::npos || !ScanDouble(text, pos, value)) return NAN;
    return value;
}

TEST(TuningOutput, DigitsNullsAndQuoting) {
    TuningReport report;
    report.idealName = "just";
    report.partials.push_back({3, "nominal", 500.00123, 0.00042, 0.0, 0.0, -0.001, 8.04, Doublet{503.5, 0.5}, "B(1) +2"});
    report.partials.push_back({6, "quint", 375.2, 2.7, -497.9, std::nullopt, std::nullopt, std::nullopt, std::nullopt, "F#(1) +3"});
    const std::string table = FormatTuningTable(report);
    EXPECT_NE(table.find("500.00123 +- 0.00042"), std::string::npos) << table;
    EXPECT_NE(table.find("375.2 +- 2.7"), std::string::npos) << table;
    EXPECT_NE(table.find("+0.00"), std::string::npos) << table;
    EXPECT_NE(table.find("503.50 Hz, -6.0 dB"), std::string::npos) << table;
    EXPECT_NE(table.find("Strike note: none"), std::string::npos) << table;
    const std::string json = FormatTuningJson(report);
    EXPECT_NE(json.find("\"doublet\":{\"frequency\":503.5,\"relative_amplitude\":0.5}"), std::string::npos) << json;
    EXPECT_NE(json.find("\"ideal\":null,\"deviation\":null,\"t60\":null,\"doublet\":null"), std::string::npos) << json;
    EXPECT_EQ(json.rfind("{\"ideal\":\"just\",\"strike\":null,\"partials\":[{\"partial\":\"nominal\"", 0), 0u) << json;
    EXPECT_EQ(FormatTuningCsv("a,\"b\".wav", report).rfind("\"a,\"\"b\"\".wav\",nominal,500.00123,0.00042,0,0,-0.001,8.04,503.5,", 0), 0u);
    EXPECT_NE(FormatTuningCsv("q.wav", report).find("q.wav,quint,375.2,2.7,-497.9,,,,,F#(1) +3\n"), std::string::npos);
}

TEST(TuningOutput, TheToolReportsTuningAndLeavesThePartialsFileAlone) {
    const fs::path folder = fs::temp_directory_path() / ("campanor-tuning-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::vector<Tone> tones = {{125.575, 2400, 40}, {251.15, 3200, 20}, {301.38, 4000, 12},
                                     {502.3, 8000, 8},    {753.45, 2400, 4},  {1004.6, 3200, 3}};
    const std::vector<std::int16_t> samples = Synthesize(tones, 3, 11, 3 * 44100);
    SoundBuffer sound;
    sound.SetFormat(44100, 3 * 44100, 16);
    std::copy(samples.begin(), samples.end(), sound.samples.get());
    const std::string wav = (folder / "bell.wav").string();
    ASSERT_TRUE(SaveWaveFile(wav, sound));
    const std::string out = (folder / "out").string();

    ASSERT_EQ(RunAnalyseTool({"--format", "json", "-o", out, wav}), kExitOk);
    const std::string json = Read(out);
    EXPECT_NEAR(NumberAfter(json, "\"partial\":\"nominal\",\"frequency\":"), 502.3, 0.001) << json;
    EXPECT_NEAR(NumberAfter(json, "\"strike\":{\"frequency\":"), 251.15, 0.001) << json;
    EXPECT_NEAR(NumberAfter(json, "\"partial\":\"hum\",\"frequency\":"), 125.575, 0.001) << json;

    ASSERT_EQ(RunAnalyseTool({"-o", out, wav}), kExitOk);
    const std::string par = Read(out);
    ASSERT_EQ(RunAnalyseTool({"--ideal", "tempered", "-o", out, wav}), kExitOk);
    EXPECT_EQ(Read(out), par);

    ASSERT_EQ(RunAnalyseTool({"--format", "csv", "--ideal", "tempered", "--out-dir", folder.string(), wav}), kExitOk);
    const std::string csv = Read(folder / "bell.csv");
    EXPECT_EQ(csv.rfind(TuningCsvHeader(), 0), 0u);
    EXPECT_NEAR(NumberAfter(csv, "tierce,"), 301.38, 0.001) << csv;

    std::ofstream(folder / "ideal.txt") << "hum,-2400\ntierce,-900 cents\n";
    fs::remove(out);
    EXPECT_EQ(RunAnalyseTool({"--ideal", (folder / "ideal.txt").string(), "-o", out, wav}), kExitUsage);
    EXPECT_FALSE(fs::exists(out));
    fs::remove_all(folder);
}

}  // namespace
