// The real main window: start-up and calibration, the level meter, the
// parameter edits, the plot-row commands and the exit ways.
#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <array>

#include "data/number_text.h"
#include "main_window_fixture.h"
#include "ui/toolkit/scroll_bar.h"
#include "ui/toolkit/spin_button.h"

using namespace MainWindowIds;

namespace {

TEST_F(MainWindowTest, StartUpShowsTheNamedBellDefaultsAndVersions) {
    WriteCalibration("1.05\n");
    MainWindow& w = Start();
    ASSERT_TRUE(started && capture->IsOpen() && capture->IsStarted());
    for (const int column : {0, 1, 2, 3, 4}) {  // Hum 165, Prime 315, Tierce 380, Quint 480, Nominal 640
        const double named = std::array{165, 315, 380, 480, 640}[std::size_t(column)];
        EXPECT_EQ(Text(kMajorEdits[column][0]).toDouble(), named);
        EXPECT_EQ(Text(kMajorEdits[column][2]).toStdString(), NoteName(named));
    }
    EXPECT_EQ(Text(kMajorEdits[1][1]).toStdString(), FormatDouble15(w.majorCents[1]));
    EXPECT_EQ(w.majorFrequency[5], 1310.0) << "the octave nominal is kept though not shown";
    const std::pair<int, const char*> texts[] = {{kMajorEdits[4][1], "0"}, {kStatus, "stopped"},
        {kEndFrequency, "5000"}, {kSpeedAdjust, "1.05"}, {kProductVersion, "9.8.7"},
        {kFileDescription, "Campanor bell analyser"}, {kCompanyName, "Campanor developers"},
        {kLegalNotice, "Copyright (C) 2026 Campanor developers"}};
    for (const auto& [id, text] : texts) EXPECT_EQ(Text(id), text) << id;
    EXPECT_EQ(w.request.recordLength + w.request.lastSample, 2 * 88200) << "44100 / 0.5";
    EXPECT_EQ(w.view.image.size(), w.GetDlgItem(kPlotFrame)->size());
    EXPECT_TRUE(Enabled(kViewPartials) && Enabled(kAddPartial) && !Enabled(kSaveRecording) && !Enabled(kStopAnalysis));
    for (const char* bad : {"1.2\n", "letters\n"}) {  // ignored, silently
        WriteCalibration(bad);
        EXPECT_EQ(Start().speedAdjust, 1.0) << bad;
        EXPECT_EQ(Text(kSpeedAdjust), "1") << bad;
    }
    EXPECT_TRUE(script.messages.empty());
}

// Volume is the positive peak in percent, an overload stays lit for exactly
// ten messages, the threshold follows the slider once released. Typed
// parameters are read only when an edit is left; a refused one keeps the
// focus and stops the exchange, and a level message meanwhile is dropped.
TEST_F(MainWindowTest, LevelMeterAndParameterEdits) {
    std::vector<std::vector<std::int16_t>> blocks{Block(29491), Block(32767), Block(-32768, -20000), Block(16384)};
    blocks.resize(15, Block(100));
    blocks.insert(blocks.end(), {Block(16384), Block(32767)});
    MainWindow& w = Start(blocks);
    const auto volume = [&w] { return w.Item<QProgressBar>(kVolumeMeter)->value(); };
    for (int message = 0; message <= 11; ++message) {
        Deliver();
        EXPECT_EQ(volume(), (message < 4 ? std::array{89, 99, 0, 50}[std::size_t(message)] : 0)) << message;
        EXPECT_EQ(w.Item<QCheckBox>(kOverload)->isChecked(), message >= 1 && message <= 10) << message;
    }
    auto* slider = w.Item<QSlider>(kTriggerSlider);
    slider->setValue(60);
    Deliver();
    EXPECT_EQ(w.sound.threshold.load(), 25 * 327) << "moving without release changes nothing";
    QTest::mouseRelease(slider, Qt::LeftButton, {}, slider->rect().center());
    Deliver();
    EXPECT_EQ(w.sound.threshold.load(), 60 * 327);
    w.sound.ArmRecording(30000, false, w.triggerLevel);
    Deliver();
    EXPECT_EQ(Text(kSamples) + Text(kStatus), "8192recording...");
    w.sound.StopRecording();

    SetText(kInterval, "6");
    SetText(kSpeedAdjust, "1.1");
    w.Refresh();
    EXPECT_EQ(Text(kStatus) + Text(kInterval), "stopped6");
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.GetDlgItem(kInterval)->setFocus(Qt::TabFocusReason);
    script.whileMessageOpen = [&](const ShownMessage&) { Deliver(); };
    w.GetDlgItem(kEndFrequency)->setFocus(Qt::TabFocusReason);
    script.whileMessageOpen = nullptr;
    QCoreApplication::processEvents();
    EXPECT_EQ(volume(), 0) << "the 16384 block came while the range message was open";
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0].text, "Please enter a number between 0.05 and 5.");
    EXPECT_EQ(QApplication::focusWidget(), w.GetDlgItem(kInterval));
    EXPECT_EQ(w.request.interval + w.speedAdjust, 7.0) << "stored, and the speed not read after it";
    Deliver();
    EXPECT_EQ(volume(), 99);
    SetText(kInterval, "0.5");
    SetText(kStartFrequency, "abc");
    w.OnParameterKillFocus();
    EXPECT_EQ(script.messages.back().text, "Please enter a number.");
    SetText(kStartFrequency, "100");
    w.OnParameterKillFocus();
    EXPECT_EQ(script.messages.size(), 2u) << "level exchanges do not check the parameters";
    EXPECT_EQ(w.request.startFrequency + w.speedAdjust, 101.1);
}

// "Add Partial" adds the peak under the cursor; with no fit below the nominal
// limit the strongest peak below it becomes the nominal.
TEST_F(MainWindowTest, AddPartialAndPlotRow) {
    MainWindow& w = Start();
    w.show();
    ASSERT_EQ(w.view.binsPerPixel, 18);  // the column of points 1656 ... 1673 holds the 835 Hz start-up peak
    QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(w.view.frameRect.left + 92, w.view.frameRect.top + 50));
    ASSERT_EQ(Text(kCursorFrequency) + " " + Text(kCursorAmplitude), "835 4");
    const int rowsBefore = w.table.count;
    w.Item<QPushButton>(kAddPartial)->click();
    EXPECT_TRUE(w.table.count == rowsBefore + 1 && w.table.HasPeakIn(835.0, 835.5));
    EXPECT_EQ(Text(kMajorEdits[4][0]), "640");
    SetText(kHighNominal, "600");
    w.OnParameterKillFocus();
    w.Item<QPushButton>(kAddPartial)->click();
    EXPECT_EQ(Text(kMajorEdits[4][0]) + Text(kMajorEdits[1][0]) + Text(kMajorEdits[0][2]), "380165none");
    Start().Item<QPushButton>(kScale)->click();
    EXPECT_EQ(Text(kBinsPerPixel), "1") << "from full compression back to 1";
    window->Item<ScrollBar>(kScrollBar)->triggerAction(QAbstractSlider::SliderPageStepAdd);
    window->Item<SpinButton>(kSpin)->Step(1);
    EXPECT_EQ(window->view.firstBin + window->Item<ScrollBar>(kScrollBar)->value(), 400);
    EXPECT_EQ(Text(kCursorFrequency), "100.5");
}

// Exit, Escape and the close box all ask first. Cancel leaves the recorder
// running; OK closes it before the window goes.
TEST_F(MainWindowTest, ExitEscapeAndCloseBoxAskFirst) {
    const struct { int way, answer, result; } cases[] = {{0, IDCANCEL, 0}, {1, IDCANCEL, 0}, {2, IDCANCEL, 0},
                                                        {0, IDOK, IDOK}, {2, IDOK, IDCANCEL}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "way " << c.way << " answer " << c.answer);
        delivered = 0;
        MainWindow& w = Start();
        int openWhenEnded = -1;
        QObject::connect(&w, &QDialog::finished, [&] { openWhenEnded = capture->IsOpen(); });
        QString asked;
        WhenModalStatic([&](QWidget* modal) {
            asked = modal->windowTitle();
            modal->findChild<QPushButton*>(QStringLiteral("id%1").arg(c.answer))->click();
        });
        if (c.way == 0) w.Item<QPushButton>(kExit)->click();
        if (c.way == 1) QTest::keyClick(&w, Qt::Key_Escape);
        if (c.way == 2) w.close();
        EXPECT_EQ(asked, "Exiting Campanor");
        if (c.answer == IDCANCEL) Deliver();  // still capturing
        EXPECT_EQ(w.Ended(), c.answer == IDOK);
        EXPECT_EQ(openWhenEnded, c.answer == IDOK ? 0 : -1);
        EXPECT_EQ(w.result(), c.result);
    }
}

}  // namespace
