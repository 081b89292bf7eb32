// The Qt-free start-up pieces: the calibration file, and the start-up
// spectrum's peaks at the band edges and its failure path.
#include <gtest/gtest.h>

#include <array>
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

// Peaks are cut at the band edges, never written outside; a band too short
// to smooth names no partials.
TEST(StartupData, StartupSpectrum) {
    SpectrumAnalyser engine;
    engine.Configure(100, 0.0, 50.0, 0.5);
    for (int i = 0; i <= 100; ++i) engine.spectrum[i] = -1.0;  // marks points not written
    for (const StartupPeak peak : {StartupPeak{0.5, 10}, {48.9, 20}, {49.0, 99}, {-4.0, 99}, {-1e300, 99}}) {
        AddStartupPeak(engine, peak.frequency, peak.amplitude);  // tops at points 1, 97; the rest outside
    }
    std::vector<double> expected(101, -1.0);
    for (int i = 0; i < 9; ++i) {
        const double divisor = std::array{15.0, 7.0, 4.0, 2.5, 1.0, 2.5, 4.0, 7.0, 15.0}[std::size_t(i)];
        if (i >= 3) expected[i - 3] = 10.0 / divisor;
        if (i <= 7) expected[93 + i] = 20.0 / divisor;
    }
    EXPECT_EQ(std::vector<double>(engine.spectrum.get(), engine.spectrum.get() + 101), expected);
    PartialTable table;
    AnalysisRequest request{0.0, 5.0, 0.5, 10, 0, 0, 44100, 0, {}};
    EXPECT_FALSE(PrepareStartupSpectrum(engine, table, request, 0.0, 5000.0));
    EXPECT_EQ(request.recordLength, 88200);
    EXPECT_TRUE(engine.spectrumValid && !engine.smoothValid && !table.partialsValid);
    request = {0.0, 5000.0, 0.5, 10000, 0, 0, 44100, 0, {}};
    EXPECT_TRUE(PrepareStartupSpectrum(engine, table, request, 0.0, 5000.0));
    EXPECT_TRUE(engine.smoothValid && table.partialsValid && table.nominal == 640.0);
}

}  // namespace
