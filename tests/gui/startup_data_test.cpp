// The Qt-free start-up pieces: the calibration file and the start-up
// spectrum's peaks at the band edges and its failure path.
#include <gtest/gtest.h>

#include <fstream>

#include "analysis/spectrum_analyser.h"
#include "app/calibration.h"
#include "app/startup_spectrum.h"
#include "partials/partial_table.h"

namespace {

// Only the first 38 characters of the first line count; 0.9 ... 1.1 or else 1.
TEST(StartupData, CalibrationFile) {
    const std::string path = ::testing::TempDir() + "campanor_correct.txt";
    const std::pair<std::string, double> cases[] = {
        {std::string(35, ' ') + "0.95\n", 0.9}, {std::string(36, ' ') + "1.05\n", 1.0},
        {std::string(38, ' ') + "0.95\n", 1.0}, {"\n1.05", 1.0}, {"9.5e-1xyz", 0.95}, {"1.1\r\n", 1.1},
        {"0.9", 0.9}, {"", 1.0}, {"1.2\n1.05\n", 1.0}, {"1.05\n1.2\n", 1.05}, {"nan\n", 1.0}};
    for (const auto& [content, value] : cases) {
        std::ofstream(path, std::ios::binary) << content;
        EXPECT_EQ(ReadCalibration(path.c_str()), value) << content;
    }
    EXPECT_EQ(ReadCalibration("/nonexistent/correct.txt"), 1.0);
}

TEST(StartupData, PeaksAreCutAtTheBandEdgesAndBadRequestsFail) {
    SpectrumAnalyser engine;
    engine.Configure(100, 0.0, 50.0, 0.5);
    for (int i = 0; i <= 100; ++i) engine.spectrum[i] = -1.0;  // marks points not written
    AddStartupPeak(engine, 0.5, 10.0);   // top at point 1: points -3 ... 5
    AddStartupPeak(engine, 48.9, 20.0);  // top at point 97: points 93 ... 101
    AddStartupPeak(engine, 49.0, 99.0);  // not below 50 - 2 x 0.5: ignored
    AddStartupPeak(engine, -4.0, 99.0);  // every point before point 0
    AddStartupPeak(engine, -1e300, 99.0);
    std::vector<double> expected(101, -1.0);
    for (int i = 0; i < 9; ++i) {
        const double divisor[9] = {15, 7, 4, 2.5, 1, 2.5, 4, 7, 15};
        if (i >= 3) expected[i - 3] = 10.0 / divisor[i];
        if (i <= 7) expected[93 + i] = 20.0 / divisor[i];
    }
    EXPECT_EQ(std::vector<double>(engine.spectrum.get(), engine.spectrum.get() + 101), expected);

    // Too few points to smooth at this resolution: no partials are named.
    PartialTable table;
    AnalysisRequest request{};
    request.steps = 10;
    request.endFrequency = 5.0;
    request.interval = 0.5;
    request.sampleRate = 44100;
    EXPECT_FALSE(PrepareStartupSpectrum(engine, table, request, 0.0, 5000.0));
    EXPECT_EQ(request.recordLength, 88200);
    EXPECT_TRUE(engine.spectrumValid && !engine.smoothValid && !table.partialsValid);
    request.steps = 10000;
    request.endFrequency = 5000.0;
    EXPECT_TRUE(PrepareStartupSpectrum(engine, table, request, 0.0, 5000.0));
    EXPECT_TRUE(engine.smoothValid && table.partialsValid && table.nominal == 640.0);
}

}  // namespace
