#include <gtest/gtest.h>

#include <fcntl.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "../data/test_files.h"
#include "data/partials_file.h"
#include "data/wave_file.h"

namespace {

struct ToolResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs campanor-analyse with `args`; stdout and stderr are captured in files.
ToolResult Analyse(const std::vector<std::string>& args, const std::string& stdoutPath = "") {
    TemporaryFolder capture;
    const std::string outPath = stdoutPath.empty() ? capture.File("out") : stdoutPath;
    const std::string errPath = capture.File("err");
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv{const_cast<char*>(CAMPANOR_ANALYSE)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(CAMPANOR_ANALYSE, argv.data());
        _exit(127);
    }
    ToolResult run;
    int status = 0;
    waitpid(child, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (stdoutPath.empty()) run.out = ReadWholeFile(outPath);
    run.err = ReadWholeFile(errPath);
    return run;
}

// A bell on 500 Hz, silent until 0.45 s, at any rate: hum, prime, tierce,
// quint, nominal, superquint, octave nominal, decaying.
double Bell(double t) {
    if (t < 0.45) return 0.0;
    t -= 0.45;
    const double parts[][2] = {{0.25, 0.3}, {0.5, 0.4}, {0.6, 0.5}, {0.75, 0.1},
                               {1.0, 1.0}, {1.5, 0.3}, {2.0, 0.4}};
    double v = 0.0;
    for (const auto& p : parts) v += p[1] * std::sin(2.0 * M_PI * 500.0 * p[0] * t);
    return 0.25 * v * std::exp(-t);
}

void WriteMono44100(const std::string& path, double seconds) {
    SoundBuffer sound;
    const auto count = static_cast<std::int32_t>(seconds * 44100);
    sound.SetFormat(44100, count, 16);
    for (std::int32_t i = 0; i < count; ++i) {
        sound.samples[i] = static_cast<std::int16_t>(std::lround(32767 * Bell(i / 44100.0)));
    }
    ASSERT_TRUE(SaveWaveFile(path, sound));
}

void WriteStereo48000(const std::string& path) {
    SF_INFO info{};
    info.samplerate = 48000;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    std::vector<float> frames;
    for (int i = 0; i < 3 * 48000; ++i) {
        const double v = Bell(i / 48000.0);
        frames.push_back(static_cast<float>(0.8 * v));  // the channels differ; their mean is the bell
        frames.push_back(static_cast<float>(1.2 * v));
    }
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    sf_writef_float(file, frames.data(), 3 * 48000);
    sf_close(file);
}

PartialTable ReadPar(const std::string& text) {
    PartialTable table;
    EXPECT_EQ(ParsePartials(text, table), PartialsFileRead);
    return table;
}

class ToolRun : public ::testing::Test {
protected:
    void SetUp() override { WriteMono44100(bell44_, 3.0); }
    TemporaryFolder folder_;
    const std::string bell44_ = folder_.File("bell44.wav");
};

TEST_F(ToolRun, ResampledStereoGivesTheSamePartialsAsMono) {
    const std::string bell48 = folder_.File("bell48.wav");
    WriteStereo48000(bell48);
    const ToolResult mono = Analyse({bell44_});
    const ToolResult stereo = Analyse({bell48});
    ASSERT_EQ(mono.status, 0) << mono.err;
    ASSERT_EQ(stereo.status, 0) << stereo.err;
    const PartialTable a = ReadPar(mono.out);
    const PartialTable b = ReadPar(stereo.out);
    ASSERT_EQ(a.count, 7);
    ASSERT_EQ(b.count, a.count);
    EXPECT_EQ(a.nominal, 500.0);
    EXPECT_NEAR(b.nominal, a.nominal, 0.5);
    for (int i = 0; i < a.count; ++i) {
        EXPECT_NEAR(b.frequency[i], a.frequency[i], 0.5) << i;
        EXPECT_EQ(b.partialIndex[i], a.partialIndex[i]) << i;
    }
    EXPECT_EQ(mono.out.rfind("Partials\r\nwave file is bell44.wav, nominal: 500.000000\r\n", 0), 0u);
}

TEST_F(ToolRun, OutputsGoWhereTheyAreAsked) {
    const std::string par = folder_.File("one.par");
    const std::string csv = folder_.File("spectrum.csv");
    const ToolResult toFile = Analyse({"-o", par, "--spectrum", csv, "--end", "2000", bell44_});
    ASSERT_EQ(toFile.status, 0) << toFile.err;
    EXPECT_EQ(ReadWholeFile(par), Analyse({"--end", "2000", bell44_}).out);
    const std::string spectrum = ReadWholeFile(csv);
    EXPECT_EQ(spectrum.rfind("frequency_hz,magnitude\n0,", 0), 0u);
    EXPECT_EQ(std::count(spectrum.begin(), spectrum.end(), '\n'), 1 + 4001);
    EXPECT_NE(spectrum.find("\n2000,"), std::string::npos);

    std::filesystem::create_directory(folder_.File("results"));
    const std::string second = folder_.File("second.wav");
    std::filesystem::copy_file(bell44_, second);
    const ToolResult batch = Analyse({"--out-dir", folder_.File("results"), "--format", "json", bell44_, second});
    ASSERT_EQ(batch.status, 0) << batch.err;
    const std::string json = ReadWholeFile(folder_.File("results/second.json"));
    EXPECT_EQ(json.rfind("{\"file\":\"" + second + "\",\"parameters\":{\"start_frequency\":0,", 0), 0u);
    EXPECT_NE(json.find("\"nominal\":500,"), std::string::npos);
    EXPECT_NE(json.find("\"partial\":\"oct. nom.\""), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(folder_.File("results/bell44.json")));

    // A PNG of the window's plot size.
    const std::string png = folder_.File("bell.png");
    ASSERT_EQ(Analyse({"--plot", png, bell44_}).status, 0);
    const std::string picture = ReadWholeFile(png);
    ASSERT_GT(picture.size(), 24u);
    EXPECT_EQ(picture.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(picture.substr(16, 8), std::string("\0\0\x02\x33\0\0\x01\x1c", 8)) << "563 x 284 pixels";

    const ToolResult table = Analyse({"--format", "table", bell44_});
    EXPECT_NE(table.out.find("Nominal: 500.000 Hz\n"), std::string::npos);
    EXPECT_NE(table.out.find("     500.000"), std::string::npos);
}

TEST_F(ToolRun, EveryFaultHasItsMessageAndStatus) {
    const std::string silent = folder_.File("silent.wav");
    {
        SoundBuffer sound;
        sound.SetFormat(44100, 44100, 16);
        std::fill(sound.samples.get(), sound.samples.get() + 44100, std::int16_t{0});
        ASSERT_TRUE(SaveWaveFile(silent, sound));
    }
    WriteWholeFile(folder_.File("text.wav"), "not a sound\n");
    const std::string missing = folder_.File("missing.wav");

    ToolResult r = Analyse({"--format", "table", missing, folder_.File("text.wav"), bell44_});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(missing + ": cannot read: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("text.wav: cannot read: "), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("File: " + bell44_), std::string::npos);  // went on with the next file

    r = Analyse({silent});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("silent.wav: the trigger never fired"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");

    r = Analyse({"--start", "1000", "--end", "1005", bell44_});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("too narrow for peak detection"), std::string::npos) << r.err;

    r = Analyse({"--no-trigger", "--interval", "0.25", bell44_});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("warning: the file ends 44100 samples before the recording of 176400"),
              std::string::npos)
        << r.err;

    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--start", "1000", "--end", "1000", bell44_}, {"--interval", "0", bell44_}}) {
        r = Analyse(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("Bad analysis parameters!"), std::string::npos) << r.err;
    }
    r = Analyse({"--speed", "fast", bell44_});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("bad value for --speed: \"fast\" is not a number"), std::string::npos);

    r = Analyse({"--plot", folder_.File("a.png"), bell44_, bell44_});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--plot draws the spectrum of one input file"), std::string::npos) << r.err;
    r = Analyse({"--plot", folder_.File("no/such/plot.png"), bell44_});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write " + folder_.File("no/such/plot.png")), std::string::npos) << r.err;

    r = Analyse({"-o", folder_.File("no/such/out.par"), bell44_});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write"), std::string::npos);
    EXPECT_EQ(Analyse({bell44_}, "/dev/full").status, 1);

    r = Analyse({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* option : {"--start", "--end", "--interval", "--speed", "--low", "--high", "--trigger",
                               "--no-trigger", "--format", "-o FILE", "--out-dir", "--spectrum", "--plot"}) {
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    }
}

}  // namespace
