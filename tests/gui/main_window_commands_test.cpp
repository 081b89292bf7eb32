// Commands of the main window: parameter edits with their ranges, enabling
// by state, "Add Partial", and the exit confirmation.
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include "main_window_fixture.h"
#include "ui/toolkit/scroll_bar.h"
#include "ui/toolkit/spin_button.h"

using namespace MainWindowIds;

namespace {

// Gives the window the keyboard focus for real focus changes.
void Activate(MainWindow& w) {
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

TEST_F(MainWindowTest, LeavingAParameterEditChecksItsRange) {
    MainWindow& w = Start();
    Activate(w);
    w.GetDlgItem(kEndFrequency)->setFocus(Qt::TabFocusReason);
    SetText(kEndFrequency, "30000");
    w.GetDlgItem(kInterval)->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0].text, "Please enter a number between 0 and 22000.");
    EXPECT_EQ(w.request.endFrequency, 30000.0);
    EXPECT_EQ(Text(kEndFrequency), "30000");
    EXPECT_EQ(QApplication::focusWidget(), w.GetDlgItem(kEndFrequency));
}

TEST_F(MainWindowTest, TextThatIsNoNumberIsRefused) {
    MainWindow& w = Start();
    SetText(kStartFrequency, "abc");
    SetText(kEndFrequency, "4000");
    w.OnParameterKillFocus();
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0].text, "Please enter a number.");
    EXPECT_EQ(w.request.startFrequency, 0.0);
    EXPECT_EQ(w.request.endFrequency, 5000.0) << "the rest of the exchange is skipped";
    SetText(kStartFrequency, "100");
    w.OnParameterKillFocus();
    EXPECT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(w.request.startFrequency, 100.0);
    EXPECT_EQ(w.request.endFrequency, 4000.0);
}

TEST_F(MainWindowTest, ParametersAreCheckedOnlyWhenRead) {
    MainWindow& w = Start();
    SetText(kInterval, "6");
    SetText(kSpeedAdjust, "2");
    w.Refresh();
    Deliver();
    EXPECT_TRUE(script.messages.empty()) << "pushes and level messages leave typed parameters alone";
    EXPECT_EQ(Text(kInterval), "6");
    w.OnParameterKillFocus();
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0].text, "Please enter a number between 0.05 and 5.");
    EXPECT_EQ(w.request.interval, 6.0);
    EXPECT_EQ(w.speedAdjust, 1.0) << "not read after the failing interval";
}

TEST_F(MainWindowTest, ControlsFollowTheRecorderState) {
    MainWindow& w = Start();
    const int idleOnly[] = {kWaitForTrigger, kStartFrequency, kEndFrequency, kInterval, kSpeedAdjust,
                            kStartAnalysis, kExit, kLowNominal, kHighNominal, kSpin,
                            kViewPartials, kSavePartials, kSaveRecording, kAddPartial, kScale};
    const int neverDisabled[] = {kTriggerSlider, kSingleShot, kContinuous, kReadPartials, kScrollBar};
    w.sound.soundState = SoundState::Recorded;
    for (const RecorderState state : {RecorderState::Stopped, RecorderState::WaitForTrigger,
                                      RecorderState::Recording, RecorderState::Analysing}) {
        w.sound.state.store(state);
        w.EnableControls();
        const bool idle = state == RecorderState::Stopped;
        for (const int id : idleOnly) EXPECT_EQ(Enabled(id), idle) << id << " in state " << int(state);
        EXPECT_EQ(Enabled(kStopAnalysis), !idle);
        for (const int id : neverDisabled) EXPECT_TRUE(Enabled(id)) << id;
    }
    w.sound.state.store(RecorderState::Stopped);
    w.table.partialsValid = 0;
    w.engine.spectrumValid = 0;
    w.sound.soundState = SoundState::None;
    w.EnableControls();
    for (const int id : {kViewPartials, kSavePartials, kSaveRecording, kAddPartial, kScale}) {
        EXPECT_FALSE(Enabled(id)) << id;
    }
    w.sound.soundState = SoundState::Saved;
    w.EnableControls();
    EXPECT_TRUE(Enabled(kSaveRecording));
}

TEST_F(MainWindowTest, AddPartialAddsTheCursorPeakAndRenames) {
    MainWindow& w = Start();
    w.show();
    // The column of points 1656 ... 1673 holds the start-up peak at 835 Hz,
    // which the peak detection did not find.
    ASSERT_EQ(w.view.binsPerPixel, 18);
    const QPoint click(w.view.frameRect.left + 92, w.view.frameRect.top + 50);
    QTest::mouseClick(&w, Qt::LeftButton, {}, click);
    ASSERT_EQ(Text(kCursorFrequency), "835");
    ASSERT_EQ(Text(kCursorAmplitude), "4");
    const int rowsBefore = w.table.count;
    w.Item<QPushButton>(kAddPartial)->click();
    EXPECT_EQ(w.table.count, rowsBefore + 1);
    EXPECT_TRUE(w.table.HasPeakIn(835.0, 835.5));
    EXPECT_EQ(Text(kMajorEdits[4][0]), "640") << "835 Hz is no major partial";

    // With the nominal limited to 600 Hz no combination fits; the limit lies
    // inside the band, so the strongest peak below it becomes the nominal.
    SetText(kHighNominal, "600");
    w.OnParameterKillFocus();
    w.Item<QPushButton>(kAddPartial)->click();
    EXPECT_EQ(w.table.nominal, 380.0);
    EXPECT_EQ(Text(kMajorEdits[4][0]), "380");
    EXPECT_EQ(Text(kMajorEdits[4][1]), "0");
    EXPECT_EQ(Text(kMajorEdits[1][0]), "165");
    EXPECT_EQ(Text(kMajorEdits[0][0]), "0");
    EXPECT_EQ(Text(kMajorEdits[0][2]), "none");
}

TEST_F(MainWindowTest, AddPartialWithoutFallbackWhenTheLimitsCoverTheBand) {
    MainWindow& w = Start();
    w.highNominal = 5000.0;
    w.lowNominal = 0.0;
    w.table.Clear();
    w.table.AddPeak(380.0, 0, 50.0, 0, 0, NoPartial);
    w.view.cursorFrequency = 640.0;
    w.view.cursorAmplitude = 40.0;
    w.OnAddPartial();
    EXPECT_EQ(w.table.nominal, 0.0) << "no hum, prime and tierce, and no fallback";
    EXPECT_EQ(Text(kMajorEdits[4][0]), "0");
}

TEST_F(MainWindowTest, PlotRowControlsReachTheView) {
    MainWindow& w = Start();
    w.Item<QPushButton>(kScale)->click();
    EXPECT_EQ(Text(kBinsPerPixel), "1") << "from full compression back to 1";
    auto* bar = w.Item<ScrollBar>(kScrollBar);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(w.view.firstBin, 200);
    EXPECT_EQ(bar->value(), 200);
    w.Item<SpinButton>(kSpin)->Step(1);
    EXPECT_EQ(w.view.cursorBin, 201);
    EXPECT_EQ(Text(kCursorFrequency), "100.5");
}

// Exit, Escape and the close box all ask first. Cancel leaves the recorder
// running; OK closes it before the window goes.
TEST_F(MainWindowTest, ExitEscapeAndCloseBoxAskFirst) {
    enum Way { kButton, kEscape, kCloseBox };
    const struct { Way way; int answer; int result; } cases[] = {
        {kButton, IDCANCEL, 0}, {kEscape, IDCANCEL, 0}, {kCloseBox, IDCANCEL, 0},
        {kButton, IDOK, IDOK},  {kCloseBox, IDOK, IDCANCEL}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "way " << c.way << " answer " << c.answer);
        MainWindow& w = Start();
        int openWhenEnded = -1;
        QObject::connect(&w, &QDialog::finished, [&] { openWhenEnded = capture->IsOpen() ? 1 : 0; });
        bool asked = false;
        MainWindowTest::WhenModalStatic([&](QWidget* modal) {
            asked = modal->windowTitle() == "Exiting Campanor";
            auto* button = modal->findChild<QPushButton*>(QStringLiteral("id%1").arg(c.answer));
            ASSERT_NE(button, nullptr);
            button->click();
        });
        if (c.way == kButton) w.Item<QPushButton>(kExit)->click();
        if (c.way == kEscape) QTest::keyClick(&w, Qt::Key_Escape);
        if (c.way == kCloseBox) w.close();
        EXPECT_TRUE(asked);
        EXPECT_EQ(w.Ended(), c.answer == IDOK);
        if (c.answer == IDOK) {
            EXPECT_EQ(w.result(), c.result);
            EXPECT_EQ(openWhenEnded, 0);
        } else {
            EXPECT_TRUE(capture->IsOpen());
            Deliver();  // still capturing
        }
        window.reset();
        delivered = 0;
    }
}

}  // namespace
