// Start-up of the main window: the start-up bell with its named partials,
// the defaults, the calibration file, and a missing input device.
#include <QCheckBox>
#include <QProgressBar>
#include <QRadioButton>
#include <QSlider>

#include "data/number_text.h"
#include "main_window_fixture.h"

using namespace MainWindowIds;

namespace {

TEST_F(MainWindowTest, StartsWithTheNamedStartupBellAndStopped) {
    MainWindow& w = Start();
    ASSERT_TRUE(started);
    EXPECT_EQ(w.windowTitle(), "PC Campanor Program");
    EXPECT_TRUE(capture->IsOpen() && capture->IsStarted());
    const char* expected[5] = {"165", "315", "380", "480", "640"};  // Hum, Prime, Tierce, Quint, Nominal
    for (std::size_t column = 0; column < 5; ++column) {
        EXPECT_EQ(Text(kMajorEdits[column][0]), expected[column]) << column;
        EXPECT_EQ(Text(kMajorEdits[column][2]).toStdString(), NoteName(std::stod(expected[column])));
    }
    EXPECT_EQ(Text(1039), "0");  // the nominal's cents
    EXPECT_EQ(Text(1030).toStdString(), FormatDouble15(w.majorCents[1]));
    EXPECT_LT(w.majorCents[1], -1000.0);
    EXPECT_EQ(w.majorFrequency[4], 960.0) << "superquint kept though not shown";
    EXPECT_EQ(w.majorFrequency[5], 1310.0) << "octave nominal kept though not shown";

    const std::pair<int, const char*> texts[] = {
        {kStatus, "stopped"},  {kSamples, "0"},  {kStartFrequency, "0"}, {kEndFrequency, "5000"},
        {kInterval, "0.5"},    {kSpeedAdjust, "1"}, {kLowNominal, "0"},  {kHighNominal, "5000"},
        {kFileDescription, "Campanor bell analyser"}, {kProductVersion, "9.8.7"},
        {kLegalNotice, "Copyright (C) 2026 Campanor developers"}, {kCompanyName, "Campanor developers"}};
    for (const auto& [id, text] : texts) EXPECT_EQ(Text(id), text) << id;
    EXPECT_EQ(w.Item<QSlider>(kTriggerSlider)->value(), 25);
    EXPECT_EQ(w.Item<QSlider>(kTriggerSlider)->tickPosition(), QSlider::NoTicks);
    EXPECT_TRUE(w.Item<QCheckBox>(kWaitForTrigger)->isChecked());
    EXPECT_FALSE(w.Item<QCheckBox>(kOverload)->isChecked());
    EXPECT_TRUE(w.Item<QRadioButton>(kSingleShot)->isChecked());
    EXPECT_EQ(w.Item<QProgressBar>(kVolumeMeter)->maximum(), 100);
    EXPECT_TRUE(script.messages.empty());
}

TEST_F(MainWindowTest, StartupSpectrumAndViewAreSetUp) {
    MainWindow& w = Start();
    EXPECT_EQ(w.engine.steps, 10000);
    EXPECT_EQ(w.request.lastSample, 88200);
    EXPECT_EQ(w.request.recordLength, 88200);
    EXPECT_EQ(w.engine.spectrum[760], 50.0);
    EXPECT_EQ(w.engine.spectrum[759], 20.0);
    EXPECT_EQ(w.engine.spectrum[756], 50.0 / 15);
    EXPECT_EQ(w.engine.maxMagnitude, 50.0);
    EXPECT_TRUE(w.engine.spectrumValid && w.engine.smoothValid && w.table.partialsValid);
    // The view fills the plot frame, at the compression that fits the band.
    const QWidget* frame = w.GetDlgItem(kPlotFrame);
    EXPECT_EQ(w.view.image.size(), frame->size());
    EXPECT_EQ(Text(kBinsPerPixel).toInt(), w.view.maxBinsPerPixel);
    EXPECT_EQ(Text(kCursorFrequency), "0");
    EXPECT_FALSE(Enabled(kSaveRecording)) << "nothing recorded yet";
    EXPECT_TRUE(Enabled(kViewPartials));
    EXPECT_TRUE(Enabled(kAddPartial));
    EXPECT_FALSE(Enabled(kStopAnalysis));
}

struct CalibrationCase {
    const char* content;  // nullptr: no file
    const char* shown;
    double value;
};

TEST_F(MainWindowTest, SpeedAdjustComesFromTheCalibrationFile) {
    const CalibrationCase cases[] = {
        {nullptr, "1", 1.0},          {"1.05\n", "1.05", 1.05},     {"1.2\n", "1", 1.0},
        {"letters\n", "1", 1.0},      {"0.95 and words", "0.95", 0.95}, {"0.9", "0.9", 0.9},
        {"1.1\r\n", "1.1", 1.1},      {"", "1", 1.0},               {"1.2\n1.05\n", "1", 1.0},
        {"1.05\n1.2\n", "1.05", 1.05}, {"nan\n", "1", 1.0},         {"  1.0025\n", "1.0025", 1.0025},
    };
    for (const CalibrationCase& c : cases) {
        std::remove("correct.txt");
        if (c.content != nullptr) WriteCalibration(c.content);
        MainWindow& w = Start();
        ASSERT_TRUE(started);
        EXPECT_EQ(Text(kSpeedAdjust), c.shown) << (c.content ? c.content : "(no file)");
        EXPECT_EQ(w.speedAdjust, c.value);
        window.reset();
    }
    EXPECT_TRUE(script.messages.empty()) << "the calibration file never reports anything";
}

TEST_F(MainWindowTest, NoInputDeviceShowsTheMessageAndEnds) {
    struct Failure {
        std::int16_t openCode;
        std::int16_t startCode;
        const char* message;
    };
    for (const Failure f : {Failure{2, 0, "Sound format not supported!"}, Failure{3, 0, "Failed to open sound device!"},
                            Failure{0, 4, "Sound driver initialise failure!"}}) {
        script.messages.clear();
        capture = std::make_shared<ScriptedCapture>(std::vector<std::vector<std::int16_t>>{});
        capture->SetOpenResult(f.openCode);
        capture->SetStartResult(f.startCode);
        SetCaptureSourceFactory(capture->Factory());
        MainWindow w;
        EXPECT_EQ(w.DoModal(), IDCANCEL) << f.message;
        EXPECT_FALSE(w.isVisible());
        EXPECT_FALSE(capture->IsOpen());
        ASSERT_EQ(script.messages.size(), 1u) << "no exit question on this path";
        EXPECT_EQ(script.messages[0].text, f.message);
    }
}

}  // namespace
