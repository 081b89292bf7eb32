// The Qt-free start-up pieces: the calibration file's line limit and the
// start-up peaks near the ends of the band (the rest is tested through the
// window).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "analysis/spectrum_analyser.h"
#include "app/calibration.h"
#include "app/startup_spectrum.h"

namespace {

std::string WriteTemp(const std::string& content) {
    const std::string path = ::testing::TempDir() + "campanor_correct.txt";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
    return path;
}

TEST(ReadCalibration, LooksAtTheFirst38CharactersOnly) {
    // 35 spaces then "0.95": the 38 characters end after "0.9".
    EXPECT_EQ(ReadCalibration(WriteTemp(std::string(35, ' ') + "0.95\n").c_str()), 0.9);
    // 36 spaces then "1.05": only "1." is read.
    EXPECT_EQ(ReadCalibration(WriteTemp(std::string(36, ' ') + "1.05\n").c_str()), 1.0);
    // A number that starts after the 38th character is not seen at all.
    EXPECT_EQ(ReadCalibration(WriteTemp(std::string(38, ' ') + "0.95\n").c_str()), 1.0);
    EXPECT_EQ(ReadCalibration(WriteTemp(std::string(37, ' ') + "1\n").c_str()), 1.0);
    EXPECT_EQ(ReadCalibration(WriteTemp("\n1.05").c_str()), 1.0) << "an empty first line";
    EXPECT_EQ(ReadCalibration(WriteTemp("9.5e-1xyz").c_str()), 0.95);
}

class StartupPeakTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine.Configure(100, 0.0, 50.0, 0.5);
        for (int i = 0; i <= 100; ++i) engine.spectrum[i] = -1.0;  // marks points not written
    }
    std::vector<double> Points() const { return {engine.spectrum.get(), engine.spectrum.get() + 101}; }
    SpectrumAnalyser engine;
};

TEST_F(StartupPeakTest, WritesTheNinePointShapeAroundItsTop) {
    AddStartupPeak(engine, 20.0, 30.0);
    const std::vector<double> points = Points();
    const double expected[9] = {30.0 / 15, 30.0 / 7, 30.0 / 4, 30.0 / 2.5, 30.0, 30.0 / 2.5, 30.0 / 4, 30.0 / 7, 30.0 / 15};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(points[36 + i], expected[i]) << i;
    EXPECT_EQ(points[35], -1.0);
    EXPECT_EQ(points[45], -1.0);
}

TEST_F(StartupPeakTest, PeaksAtTheBandEdgesAreCutNotWrittenOutside) {
    AddStartupPeak(engine, 0.5, 10.0);  // top at point 1: points -3 ... 5
    std::vector<double> points = Points();
    EXPECT_EQ(points[0], 10.0 / 2.5);
    EXPECT_EQ(points[1], 10.0);
    EXPECT_EQ(points[5], 10.0 / 15);
    EXPECT_EQ(points[6], -1.0);

    AddStartupPeak(engine, 48.9, 10.0);  // top at point 97: points 93 ... 101
    points = Points();
    EXPECT_EQ(points[97], 10.0);
    EXPECT_EQ(points[100], 10.0 / 7);
    EXPECT_EQ(points[92], -1.0);

    AddStartupPeak(engine, 49.0, 99.0);  // not below 50 - 2 x 0.5: ignored
    AddStartupPeak(engine, -4.0, 99.0);  // every point before point 0
    AddStartupPeak(engine, -1e300, 99.0);
    for (const double value : Points()) EXPECT_NE(value, 99.0);
}

}  // namespace
