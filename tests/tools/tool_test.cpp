#include <gtest/gtest.h>

#include <sndfile.h>
#include <sys/wait.h>

#include <QImage>
#include <cmath>
#include <regex>

#include "../data/test_files.h"
#include "data/number_text.h"
#include "data/partials_file.h"
#include "tools/result_output.h"
#include "cycle/sound_file_input.h"
#include "tools/spectrum_plot.h"
#include "tools/tool_options.h"
#include "tools/tuning_output.h"
#include "ui/spectrum_render.h"

namespace {

bool Usable(const std::vector<std::string>& args) {
    ToolOptions o;
    std::string error;
    return ParseToolOptions(args, o, error) && CheckToolUsage(o, error);
}

// The number after `key` in `text`, or nan.
double NumberAfter(const std::string& text, const std::string& key) {
    const std::size_t at = text.find(key);
    double value = NAN;
    std::size_t pos = at + key.size();
    return at != std::string::npos && ScanDouble(text, pos, value) ? value : NAN;
}

// Numbers are read without the user's locale, whole or not at all.
TEST(ToolOptions, ValuesFaultsAndOneTargetPerResult) {
    ToolOptions o;
    std::string error;
    ASSERT_TRUE(ParseToolOptions({"--start", "100.5", "--end=3000", "--low", "7", "--trigger", "0", "--no-trigger",
                                  "--version", "--format", "json", "a.wav", "--", "--b.wav"}, o, error));
    EXPECT_EQ(std::tuple(o.parameters.startFrequency, o.parameters.endFrequency, o.parameters.lowNominal, o.triggerLevel,
                         o.waitForTrigger, o.version, o.format, o.inputs),
              std::tuple(100.5, 3000.0, 7.0, 0, false, true, OutputFormat::Json, std::vector<std::string>{"a.wav", "--b.wav"}));
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"--start", "1,5"}, {"--start", "nan"}, {"--end", "1e999"}, {"--interval"}, {"--trigger", "101"},
             {"--trigger", "2.5"}, {"--format", "xml"}, {"--loud"}, {"--no-trigger=1"}, {"-o", ""}}) {
        args.push_back("a.wav");
        EXPECT_FALSE(Usable(args)) << args[0];
    }
    TemporaryFolder folder;
    const std::pair<std::vector<std::string>, bool> usages[] = {
        {{}, false}, {{"a.wav"}, true}, {{"a.wav", "b.wav"}, false},  // two partials files on stdout
        {{"--format", "table", "a.wav", "b.wav"}, true}, {{"-o", "x.par", "--format", "table", "a.wav", "b.wav"}, false},
        {{"--spectrum", "s.csv", "--format", "json", "a.wav", "b.wav"}, false},
        {{"--out-dir", folder.Path(), "a.wav", "b.flac"}, true}, {{"--out-dir", folder.Path(), "x/a.wav", "y/a.flac"}, false},
        {{"--out-dir", folder.File("missing"), "a.wav"}, false}, {{"--out-dir", folder.Path(), "-o", "x.par", "a.wav"}, false}};
    for (const auto& [args, usable] : usages) EXPECT_EQ(Usable(args), usable) << testing::PrintToString(args);
    EXPECT_EQ(OutputNameFor("dir/tenor.take2.wav", OutputFormat::Par), "tenor.take2.par");
    EXPECT_EQ(OutOfRangeParameters({0, 5000, 6.0, 1.0, 0, 5000}),  // above the edit's range: a warning, yet analysed
              std::vector<std::string>{"--interval 6 is outside 0.05 ... 5"});
}

// Each of the table's rows once, aligned under its heading; a row past its count never shows.
TEST(ToolOutput, TableAndJsonHoldTheRowsAndEscapeStrings) {
    PartialTable table;
    table.AddPeak(250.0, 0, 0.5, 0, 0, 1);
    table.AddPeak(500.0, 0, 4.0, 0, 0, 3);
    table.AddPeak(1000.0, 0, 9.0, 0, 0, NoPartial);
    table.count = 2;
    table.nominal = 500.0;
    table.UpdateCentsAndNotes();
    EXPECT_EQ(FormatResultTable("b.wav", table), "File: b.wav\nNominal: 500.000 Hz\n"
              "  Freq. (Hz)     Amplitude      Cents  Partial     Note\n"
              "     250.000           0.5    -1200.0  prime       " + table.note[0] + "\n"
              "     500.000             4        0.0  nominal     " + table.note[1] + "\n\n");
    const std::string json = FormatResultJson("b.wav", AnalysisSettings{}, table);
    EXPECT_NE(json.find(",\"rows\":[{\"frequency\":250,\"amplitude\":0.5,\"splash_amplitude\":0,\"attack\":0,\"decay\":0,"
                        "\"cents\":-1200,\"partial\":\"prime\",\"note\":\"" + table.note[0] + "\"},{\"frequency\":500,"),
              std::string::npos) << json;
    EXPECT_EQ(json.find("1000"), std::string::npos) << json;
    EXPECT_EQ(json.substr(json.size() - 5), "\"}]}\n");
    EXPECT_EQ(JsonString("a\"b\\c\ny\t\x01\x7F"), "\"a\\\"b\\\\c\\ny\\t\\u0001\\u007f\"");
    // UTF-8 stays; a bad byte, a cut sequence and each byte of a surrogate become U+FFFD.
    EXPECT_EQ(JsonString("C\xC3\xA9\xFF\xC3"), "\"C\xC3\xA9\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");
}

// The window's bar graph at the compression that fits the band (two points a column), the cursor on the nominal.
TEST(SpectrumPlot, TheWindowsBarGraphWithoutAnApplicationObject) {
    Spectrum spectrum{0.0, 500.0, 0.5, 1000, std::vector<double>(1001), {}, 0.0, 0.0};
    std::tie(spectrum.magnitudes[200], spectrum.magnitudes[400]) = std::tuple(4.0, 8.0);  // 100 Hz, a partial; 200 Hz, the nominal
    FindMaximum(spectrum);
    PartialTable table;
    table.AddPeak(100.0, 0, 4.0, 0, 0, 0);
    table.AddPeak(200.0, 0, 8.0, 0, 0, 3);
    table.nominal = 200.0;
    TemporaryFolder folder;
    ASSERT_TRUE(SaveSpectrumPlot(folder.File("plot.png"), spectrum, table));
    EXPECT_EQ(QImage(QString::fromStdString(folder.File("plot.png"))).convertToFormat(QImage::Format_RGB32),
              RenderSpectrumImage(spectrum, table, PlotWindow{2, 0, 400, (kPlotHeight - 10) / 8.0}, 563, 284));
    EXPECT_FALSE(SaveSpectrumPlot(folder.File("none.png"), Spectrum{0.0, 500.0, 0.5, 1000, {}, {}, 0.0, 0.0}, table));
    EXPECT_FALSE(SaveSpectrumPlot(folder.File("no/such/folder.png"), spectrum, table));
}

// 3 s at `rate` of a bell on 500 Hz, silent until 0.45 s (hum ... octave nominal, decaying), in channels that
// differ by a factor, their mean the bell; `loud` 0 gives silence.
std::string WriteBell(const TemporaryFolder& folder, const std::string& name, int format, int rate, int channels,
                      double loud = 1.0, double onset = 0.45, double nominal = 500.0) {
    const double parts[][2] = {{0.25, 0.3}, {0.5, 0.4}, {0.6, 0.5}, {0.75, 0.1}, {1.0, 1.0}, {1.5, 0.3}, {2.0, 0.4}};
    std::vector<double> frames;
    const int length = static_cast<int>((onset + 2.55) * rate);
    for (int i = 0; i < length; ++i) {
        const double t = i / static_cast<double>(rate) - onset;
        double v = 0.0;
        for (const auto& p : parts) v += t < 0 ? 0.0 : 0.25 * loud * p[1] * std::sin(2 * M_PI * nominal * p[0] * t) * std::exp(-t);
        for (int c = 0; c < channels; ++c) frames.push_back(v * (channels == 1 ? 1.0 : 0.8 + 0.4 * c));
    }
    SF_INFO info{0, rate, channels, format, 0, 0};
    SNDFILE* file = sf_open(folder.File(name).c_str(), SFM_WRITE, &info);
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);  // too loud a bell clips, as at a sound card
    sf_writef_double(file, frames.data(), length);
    sf_close(file);
    return folder.File(name);
}

// Runs the built campanor-analyse with `args` through the shell; stdout goes to `stdoutPath` or is captured.
std::tuple<int, std::string, std::string> Analyse(const std::vector<std::string>& args, const std::string& stdoutPath = "") {
    TemporaryFolder capture;
    std::string command = CAMPANOR_ANALYSE;
    for (const std::string& a : args) command += " '" + a + "'";
    const std::string out = stdoutPath.empty() ? capture.File("out") : stdoutPath;
    const int status = std::system((command + " >'" + out + "' 2>'" + capture.File("err") + "'").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, stdoutPath.empty() ? ReadWholeFile(out) : "",
            ReadWholeFile(capture.File("err"))};
}

// The tuning report's digits follow the uncertainty; unknown values are null in JSON and empty in csv; the
// strike's partials and every warning in each format, the csv naming each code once.
TEST(ToolOutput, TuningReportDigitsNullsAndQuoting) {
    TuningReport report;
    report.idealName = "just";
    report.partials.push_back({3, "nominal", 500.00123, 0.00042, 0.0, 0.0, -0.001, 8.04, Doublet{503.5, 0.5, -26.5}, "B(1) +2", -20.5});
    report.partials.push_back({6, "quint", 375.2, 2.7, -497.9, std::nullopt, std::nullopt, std::nullopt, std::nullopt, "F#(1) +3", {}});
    const std::string table = FormatTuningTable(report), json = FormatTuningJson(report);
    for (const char* part : {"500.00123 +- 0.00042", "375.2 +- 2.7", "     +0.00", "503.50 Hz, -6.0 dB", "Strike note: none"})
        EXPECT_NE(table.find(part), std::string::npos) << part << "\n" << table;
    for (const char* part : {"{\"ideal\":\"just\",\"strike\":null,\"partials\":[{\"partial\":\"nominal\",\"frequency\":500.00123,",
                             "\"t60\":8.04,\"level_db\":-20.5,\"doublet\":{\"frequency\":503.5,\"relative_amplitude\":0.5,\"level_db\":-26.5}",
                             "\"ideal\":null,\"deviation\":null,\"t60\":null,\"level_db\":null,\"doublet\":null"})
        EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
    EXPECT_EQ(FormatTuningCsv("a,\"b\".wav", report),
              "\"a,\"\"b\"\".wav\",nominal,500.00123,0.00042,0,0,-0.001,8.04,503.5,B(1) +2,\n"
              "\"a,\"\"b\"\".wav\",quint,375.2,2.7,-497.9,,,,,F#(1) +3,\n");
    report.strike = StrikeNote{250.0, "B(0)", -1200.0, {"nominal", "oct. nom."}};
    report.warnings = {{"beats", "the hum beats"}, {"unresolved", "the \"quint\""}, {"beats", "the prime beats"}};
    EXPECT_NE(FormatTuningTable(report).find("cents from the nominal (from nominal, oct. nom.)\nWarning (beats): the hum beats\n"
                                             "Warning (unresolved): the \"quint\"\nWarning (beats): the prime beats\n\n"),
              std::string::npos) << FormatTuningTable(report);
    EXPECT_NE(FormatTuningJson(report).find("\"cents\":-1200,\"from\":[\"nominal\",\"oct. nom.\"]},"), std::string::npos);
    EXPECT_NE(FormatResultJson("a.wav", AnalysisSettings{}, PartialTable{}, &report)
                  .find(",\"clipped_samples\":0,\"warnings\":[{\"code\":\"beats\",\"text\":\"the hum beats\"},{\"code\":"
                        "\"unresolved\",\"text\":\"the \\\"quint\\\"\"},{\"code\":\"beats\",\"text\":\"the prime beats\"}],\"tuning\":"),
              std::string::npos);
    const std::string csv = FormatTuningCsv("a.wav", report);
    EXPECT_TRUE(csv.find(",B(1) +2,beats;unresolved\n") != std::string::npos &&
                csv.find(",F#(1) +3,beats;unresolved\n") != std::string::npos) << csv;
}

// Each run's exit status and messages on stderr, then what the runs wrote. A float stereo file at 48000 Hz gives
// the partials of the 16-bit mono one at 44100 Hz.
TEST(ToolRun, OutputsMessagesAndStatuses) {
    TemporaryFolder f;
    const std::string bell = WriteBell(f, "bell.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1);
    const std::string stereo = WriteBell(f, "bell48.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2);
    const std::string silent = WriteBell(f, "silent.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, 0.0);
    const std::string quiet = WriteBell(f, "quiet: a,b.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, 0.1);
    const std::string late = WriteBell(f, "late.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 1, 1.0, 30.0);
    const std::string slow = WriteBell(f, "slow.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 100, 2);
    const std::string clipped = WriteBell(f, "clipped.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, 2.0);
    WriteWholeFile(f.File("text.wav"), "not a sound\n");
    WriteWholeFile(f.File("ideal.txt"), "hum,-2400\ntierce,-900 cents\n");
    std::filesystem::create_directory(f.File("r"));
    const std::string missing = f.File("missing.wav"), no = f.File("no/such/");
    const std::tuple<std::vector<std::string>, int, std::vector<std::string>> runs[] = {
        {{"--out-dir", f.File("r"), bell, stereo, quiet}, 0, {}},
        {{"-o", f.File("one.json"), "--trigger", "25", "--format", "json", "--spectrum", f.File("s.csv"), "--plot", f.File("p.png"), "--end", "2000", bell},
         0, {}},
        {{"--no-trigger", "--interval", "0.25", "--format", "json", bell}, 0,
         {"bell.wav: warning: the file ends 44100 samples before the recording of 176400"}},
        {{"--format", "table", missing, f.File("text.wav"), slow, silent, bell}, 1,
         {missing + ": cannot read: ", "text.wav: cannot read: ", "slow.wav: cannot read: cannot convert a sample rate of 100 Hz",
          "silent.wav: the trigger never fired"}},
        {{"--start", "1000", "--end", "1005", bell}, 1, {"too narrow for peak detection"}},
        {{"-o", no + "out.par", "--plot", no + "p.png", bell}, 1, {"cannot write " + no + "out.par", "cannot write " + no + "p.png"}},
        {{"--interval", "0", bell}, 2, {"Bad analysis parameters!\n(Accepted: 0 <= start < end <= 22000, interval >= 0.05"}},
        {{"--speed", "fast", bell}, 2, {"bad value for --speed: \"fast\" is not a number"}},
        {{"--plot", "a.png", bell, bell}, 2, {"--plot draws the spectrum of one input file"}},
        {{"--help"}, 0, {}}, {{"--version"}, 0, {}},
        {{"--trigger", "25", quiet}, 1, {"the trigger never fired: no block of 8192 samples rose above 8175 (trigger level 25)"}},
        {{"--ideal", "tempered", "-o", f.File("tempered.par"), bell}, 0, {}},
        {{"--format", "csv", "--ideal", "tempered", bell, stereo}, 0, {}},
        {{"--ideal", f.File("ideal.txt"), bell}, 2, {"ideal.txt:2: the cents are not a number"}},
        {{"--format", "json", late}, 0, {}},
        {{"--format", "json", clipped, bell}, 0, {}},
        {{"--format", "csv", clipped}, 0, {}},
        {{"--as-tuned", bell}, 2, {"--as-tuned goes with --synthesise"}},
        {{"--synthesise", f.File("tuned.wav"), "--as-tuned", "--ideal", "tempered", "-o", f.File("synth.par"), bell}, 0, {}},
        {{"--format", "json", f.File("tuned.wav")}, 0, {}}};
    std::vector<std::string> outs;
    for (const auto& [args, status, messages] : runs) {
        const auto [code, out, err] = Analyse(args);
        EXPECT_EQ(code, status) << testing::PrintToString(args) << err;
        for (const std::string& m : messages) EXPECT_NE(err.find(m), std::string::npos) << m << "\n" << err;
        outs.push_back(out);
    }
    EXPECT_EQ(std::get<0>(Analyse({bell}, "/dev/full")), 1);
    // The just bell synthesised as tempered: its nominal as measured, its superquint 700 cents above it.
    EXPECT_NEAR(NumberAfter(outs.back(), "\"partial\":\"superquint\",\"frequency\":"), 500.0 * std::exp2(700.0 / 1200.0), 0.01)
        << outs.back();
    std::vector<std::int16_t> loaded, stored(3 * 44100);  // 16-bit mono at 44100 Hz comes in sample for sample
    SF_INFO info{};
    SNDFILE* file = sf_open(bell.c_str(), SFM_READ, &info);
    EXPECT_EQ(sf_read_short(file, stored.data(), 3 * 44100), 3 * 44100);
    sf_close(file);
    std::string error, warning;
    EXPECT_TRUE(LoadSoundFile(bell, loaded, error, warning) && loaded == stored && warning.empty());
    const float beyond[] = {1.5f, -1.5f, 0.5f};  // a float file beyond full scale is clipped, never wrapped
    SF_INFO floatInfo{0, 44100, 1, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0, 0};
    SNDFILE* floats = sf_open(f.File("beyond.wav").c_str(), SFM_WRITE, &floatInfo);
    sf_writef_float(floats, beyond, 3), sf_close(floats);
    EXPECT_TRUE(LoadSoundFile(f.File("beyond.wav"), loaded, error, warning));
    EXPECT_EQ(loaded, (std::vector<std::int16_t>{32767, -32768, 16384}));
    PartialTable mono, resampled;
    ASSERT_EQ(ReadPartialsFile(f.File("r/bell.par"), mono) + ReadPartialsFile(f.File("r/bell48.par"), resampled), 0);
    ASSERT_EQ(std::tuple(mono.count, resampled.count, mono.nominal, mono.partialIndex),
              std::tuple(7, 7, 500.0, resampled.partialIndex));
    for (int i = 0; i < 7; ++i) EXPECT_NEAR(resampled.frequency[i], mono.frequency[i], 0.5) << i;
    EXPECT_EQ(ReadWholeFile(f.File("r/bell.par")).rfind("Partials\r\nwave file is bell.wav, nominal: 500.0", 0), 0u);
    // The automatic trigger fires on a file far below full scale; its name stays readable in line 2.
    EXPECT_EQ(ReadWholeFile(f.File("r/quiet: a,b.par")).rfind("Partials\r\nwave file is quiet_ a_b.wav, nominal: 500.0", 0), 0u);
    // With the trigger the recording starts with the block of 8192 samples where the bell sets in at 0.45 s.
    EXPECT_NE(ReadWholeFile(f.File("one.json")).find("\"trigger_level\":25,\"trigger_threshold\":8175,\"recording_start_sample\":16384,"
                                                     "\"padded_samples\":0},\"nominal\":500,"), std::string::npos);
    const std::string spectrum = ReadWholeFile(f.File("s.csv"));
    EXPECT_EQ(std::tuple(spectrum.rfind("frequency_hz,magnitude\n0,", 0), std::count(spectrum.begin(), spectrum.end(), '\n')),
              std::tuple(0u, 1 + 4001));
    EXPECT_NE(spectrum.find("\n2000,"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(f.File("p.png")).substr(0, 24), std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x02\x33\0\0\x01\x1c", 24))
        << "563 x 284 pixels";
    EXPECT_EQ(outs[2].rfind("{\"file\":\"" + bell + "\",\"parameters\":{\"start_frequency\":0,\"end_frequency\":5000,"
                            "\"interval\":0.25,\"speed_adjust\":1,\"low_nominal\":0,\"high_nominal\":5000,\"steps\":20000,"
                            "\"record_length\":176400,\"wait_for_trigger\":false,\"trigger_level\":\"auto\","
                            "\"trigger_threshold\":4695,\"recording_start_sample\":0,\"padded_samples\":44100},\"nominal\":500,", 0), 0u) << outs[2];
    EXPECT_EQ(outs[3].rfind("File: " + bell + "\nNominal: 500.000 Hz\n", 0), 0u) << "went on with the next file";
    // The tuning report: precise frequencies of the exact harmonic bell, the strike an octave below the nominal; the
    // partials file is the same whatever the ideal; csv has one header for all files.
    const std::string json = ReadWholeFile(f.File("one.json"));
    EXPECT_NEAR(NumberAfter(json, "\"tuning\":{\"ideal\":\"just\",\"strike\":{\"frequency\":"), 250.0, 1e-4) << json;
    EXPECT_NEAR(NumberAfter(json, "{\"partial\":\"tierce\",\"frequency\":"), 300.0, 1e-4) << json;
    EXPECT_EQ(ReadWholeFile(f.File("tempered.par")), ReadWholeFile(f.File("r/bell.par")));
    EXPECT_EQ(outs[13].rfind(TuningCsvHeader() + bell + ",hum,", 0), 0u) << outs[13];
    EXPECT_NEAR(NumberAfter(outs[13], stereo + ",tierce,"), 300.0, 1e-3) << outs[13];
    EXPECT_NE(outs[13].find(",-900,15.64"), std::string::npos) << "the tierce's ideal and deviation when tempered";
    // A strike 30 s into an 8 kHz file: the file is converted further until the trigger fires.
    EXPECT_NEAR(NumberAfter(outs[15], "\"recording_start_sample\":"), 30 * 44100, 8192) << outs[15];
    EXPECT_NE(outs[15].find("\"nominal\":500,"), std::string::npos);
    // Warnings: a bell beyond full scale is clipped, a clean one has none, a file shorter than the recording is padded.
    EXPECT_GT(NumberAfter(outs[16], "\"clipped_samples\":"), 0.0) << outs[16];
    EXPECT_NE(outs[16].find("\"warnings\":[{\"code\":\"clipped\",\"text\":\""), std::string::npos) << outs[16];
    const std::string clean = outs[16].substr(outs[16].find('\n') + 1);
    EXPECT_TRUE(clean.rfind("{\"file\":\"" + bell + "\"", 0) == 0 &&
                clean.find(",\"clipped_samples\":0,\"warnings\":[],\"tuning\":") != std::string::npos) << outs[16];
    EXPECT_NE(outs[2].find("{\"code\":\"padded\","), std::string::npos) << outs[2];
    EXPECT_EQ(outs[17].rfind("file,partial,frequency,uncertainty,cents,ideal,deviation,t60,doublet_frequency,note,warnings\n", 0), 0u);
    EXPECT_TRUE(std::regex_search(outs[17], std::regex("\n[^\n]*,nominal,[^\n]*,clipped\n"))) << outs[17];
    EXPECT_NE(outs[9].find("--plot FILE"), std::string::npos);
    EXPECT_EQ(outs[10].rfind("campanor-analyse ", 0), 0u);
}

// A 440 Hz fork the card reads as 439.8 Hz: the speed adjustment 440 / 439.8 in JSON and in words; one file
// only; a file without the tone is a failure said in words.
TEST(ToolRun, CalibrationFromAReferenceTone) {
    TemporaryFolder f;
    std::vector<short> tone(3 * 44100);
    for (std::size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<short>(std::lround(9000.0 * std::sin(2 * M_PI * 439.8 * i / 44100.0)));
    SF_INFO info{0, 44100, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* file = sf_open(f.File("fork.wav").c_str(), SFM_WRITE, &info);
    sf_writef_short(file, tone.data(), static_cast<sf_count_t>(tone.size()));
    sf_close(file);
    const auto [status, json, err] = Analyse({"--calibrate", "440", "--format", "json", f.File("fork.wav")});
    ASSERT_EQ(status, 0) << err;
    EXPECT_EQ(json.rfind("{\"calibration\":{\"reference\":440,\"measured\":", 0), 0u) << json;
    EXPECT_NEAR(NumberAfter(json, "\"speed_adjust\":"), 440.0 / 439.8, 2e-6);
    const auto [textStatus, text, textErr] = Analyse({"--calibrate=440", f.File("fork.wav")});
    EXPECT_NE(text.find("fork.wav: reference 440 Hz, measured 439.80"), std::string::npos) << text;
    EXPECT_NE(text.find(", speed adjust 1.000454752\n"), std::string::npos) << text;
    EXPECT_EQ(std::get<0>(Analyse({"--calibrate", "440", f.File("fork.wav"), f.File("fork.wav")})), 2);
    const auto [noneStatus, none, noneErr] = Analyse({"--calibrate", "600", f.File("fork.wav")});
    EXPECT_EQ(noneStatus, 1);
    EXPECT_NE(noneErr.find("fork.wav: No tone was found within 5 % of the reference."), std::string::npos) << noneErr;
}

// A ring of three bells tuned to a just major scale from a 500 Hz tenor: the outer tuning in JSON and csv,
// a file that cannot be read named among the others; then the same bells kept pass by pass in a project,
// printed with their history, a pass extracted and analysed again to its stored nominal.
TEST(ToolRun, RingAndProject) {
    TemporaryFolder f;
    std::vector<std::string> files;
    for (const double cents : {386.31, 203.91, 0.0}) {
        files.push_back(WriteBell(f, "b" + std::to_string(files.size() + 1) + ".wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1,
                                  1.0, 0.45, 500.0 * std::exp2(cents / 1200.0)));
    }
    const auto [status, json, err] = Analyse({"--ring", "--temperament", "just", "--format", "json", files[0], files[1], files[2]});
    ASSERT_EQ(status, 0) << err;
    EXPECT_EQ(json.rfind("{\"ring\":{\"reference_pitch\":440,\"scale\":\"major\",\"temperament\":\"just\",\"stretch\":0,"
                         "\"anchor\":3,\"bells\":[{\"bell\":1,", 0), 0u) << json;
    for (const char* bell : {"\"bell\":1,", "\"bell\":2,", "\"bell\":3,"}) {
        const std::string from = json.substr(json.find(bell));
        EXPECT_NEAR(NumberAfter(from, "\"deviation\":"), 0.0, 0.01) << from.substr(0, 300);
    }
    EXPECT_NEAR(NumberAfter(json, "\"target\":"), 386.31, 1e-9);
    const auto [missingStatus, partial, missingErr] = Analyse({"--ring", "--format", "json", files[0], f.File("none.wav"), files[2]});
    EXPECT_EQ(missingStatus, 1);
    EXPECT_NE(partial.find("{\"bell\":2,\"file\":\"" + f.File("none.wav") + "\",\"error\":\"cannot read: "), std::string::npos) << partial;
    const std::string csv = std::get<1>(Analyse({"--ring", "--format", "csv", "--units", "sixteenths", files[1], files[2]}));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3) << csv;
    EXPECT_EQ(csv.rfind("bell,file,nominal,note,note_cents,cents_from_anchor,target,deviation,strike,hum_cents,", 0), 0u);
    EXPECT_EQ(std::get<0>(Analyse({"--ring", "--plot", f.File("p.png"), files[0]})), 2);

    const std::string project = f.File("tower.campanor");
    EXPECT_EQ(std::get<0>(Analyse({"--project", project, "--bell", "3", "--bells", "3", "--temperament", "just", files[2]})), 0);
    const auto [kept, row, keptErr] = Analyse({"--project", project, "--bell", "1", "--format", "csv", files[0]});
    ASSERT_EQ(kept, 0) << keptErr;
    EXPECT_EQ(std::count(row.begin(), row.end(), '\n'), 2) << "the header and the bell's row";
    EXPECT_NE(row.find("\n1," + files[0] + ","), std::string::npos) << row;
    EXPECT_EQ(std::get<0>(Analyse({"--project", project, "--bell", "1", "--pass", "as received", files[0]})), 2);
    EXPECT_EQ(std::get<0>(Analyse({"--project", project, "--bell", "4", files[0]})), 2);
    EXPECT_EQ(std::get<0>(Analyse({"--project", project, "--bell", "1", files[1]})), 0) << "cut 1, another bell's sound";
    const std::string history = std::get<1>(Analyse({"--project", project, "--format", "json"}));
    const std::size_t at = history.find("\"history\":[{\"bell\":1,\"passes\":[{\"pass\":\"as received\",");
    ASSERT_NE(at, std::string::npos) << history;
    EXPECT_NE(history.find("{\"pass\":\"cut 1\",", at), std::string::npos);
    EXPECT_NEAR(NumberAfter(history.substr(at), "\"deviation\":"), 0.0, 0.01);
    const auto [extracted, options, extractErr] =
        Analyse({"--project", project, "--bell", "1", "--pass", "as received", "--extract", f.File("again.wav")});
    ASSERT_EQ(extracted, 0) << extractErr;
    EXPECT_EQ(options, "--no-trigger --start 0 --end 5000 --interval 0.5 --speed 1 --low 0 --high 5000\n");
    const std::string again = std::get<1>(Analyse({"--no-trigger", "--format", "json", f.File("again.wav")}));
    EXPECT_EQ(NumberAfter(again, "\"partial\":\"nominal\",\"frequency\":"), NumberAfter(history.substr(at), "\"nominal\":"))
        << "the stored figures exactly";
    EXPECT_EQ(std::get<0>(Analyse({"--project", files[0]})), 1) << "not a project";
}

}  // namespace
