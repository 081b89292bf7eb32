// The real main window and application object, and the paths of the dialog
// toolkit that the window does not take.
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStyleOption>
#include <QHeaderView>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <set>
#include <thread>

#include "app/calibration.h"
#include "app/command_line.h"
#include "campanor_build_info.h"
#include "cycle/startup_spectrum.h"
#include "data/number_text.h"
#include "data/wave_file.h"
#include "main_window_fixture.h"
#include "tests/data/test_files.h"
#include "tests/support/test_bell.h"
#include "partials/partial_table.h"
#include "ui/analyser_app.h"
#include "ui/app_icon.h"
#include "ui/calibration_dialog.h"
#include "ui/spectrum_geometry.h"
#include "ui/toolkit/data_exchange.h"
#include "ui/toolkit/file_dialog.h"
#include "ui/toolkit/group_box.h"
#include "ui/toolkit/message_box.h"
#include "ui/toolkit/scroll_bar.h"
#include "ui/toolkit/spin_button.h"

using namespace MainWindowIds;

namespace {

// Calibration: the first 38 characters of the first line, 0.9 ... 1.1, else
// silently 1. The start-up bell named, the defaults, the versions, the buttons enabled.
TEST_F(MainWindowTest, StartUpAndCalibration) {
    const std::pair<std::string, double> files[] = {
        {std::string(35, ' ') + "0.95\n", 0.9}, {std::string(36, ' ') + "1.05\n", 1.0},
        {std::string(38, ' ') + "0.95\n", 1.0}, {"\n1.05", 1.0}, {"9.5e-1xyz", 0.95}, {"1.1\r\n", 1.1},
        {"1.2\n1.05\n", 1.0}, {"nan\n", 1.0}, {"", 1.0}, {"0.9", 0.9}, {"1.05\n1.2\n", 1.05}};  // the window's
    for (const auto& [content, value] : files) { WriteCalibration(content); EXPECT_EQ(ReadCalibration(), value) << content; }
    // A speed adjustment measured from a reference tone, kept with nine decimals; one outside the range is not.
    EXPECT_TRUE(::WriteCalibration(1.0004547521600726, "kept.txt") && !::WriteCalibration(1.2, "kept.txt"));
    EXPECT_EQ(std::pair(ReadCalibration("kept.txt"), ReadWholeFile("kept.txt")), std::pair(1.000454752, std::string("1.000454752\n")));
    Start();
    ASSERT_TRUE(started && capture->IsOpen() && capture->IsStarted());
    const double named[] = {165, 315, 380, 480, 640};  // Hum, Prime, Tierce, Quint, Nominal
    for (std::size_t c = 0; c < 5; ++c) {
        EXPECT_EQ(Text(kMajorEdits[c][0]).toDouble(), named[c]);
        EXPECT_EQ(Text(kMajorEdits[c][2]).toStdString(), NoteName(named[c]));
    }
    const std::pair<int, const char*> texts[] = {{kMajorEdits[4][1], "0"}, {kStatus, "stopped"},
        {kEndFrequency, "5000"}, {kSpeedAdjust, "1.05"}, {kProductVersion, "9.8.7"},
        {kFileDescription, "Campanor bell analyser"}, {kCompanyName, "Campanor developers"},
        {kLegalNotice, "Copyright (C) 2026 Campanor developers"}};
    for (const auto& [id, text] : texts) EXPECT_EQ(Text(id), text) << id;
    EXPECT_TRUE(Enabled(kViewPartials) && Enabled(kAddPartial) && !Enabled(kSaveRecording) && !Enabled(kStopAnalysis));
    std::remove("correct.txt");
    EXPECT_EQ(Start().EditedParameters().speedAdjust, 1.0) << "no file";
    EXPECT_TRUE(script.messages.empty());
}

// At the default size every text fits its control, the widest cents and notes too, and no control crosses a group
// box's frame, whose top line runs through the title. The title bar is the window's own; each button has its own
// Alt+letter; Tab passes over the displays.
TEST_F(MainWindowTest, FitsItsTemplateAndWorksFromTheKeyboard) {
    MainWindow& w = Start();
    w.show();
    for (const auto& column : kMajorEdits) SetText(column[1], "-1197.8"), SetText(column[2], "Ab(-1) -50");
    EXPECT_EQ(w.windowTitle(), "PC Campanor Program");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName()) << "none to append";
    QStringList keys;
    const QList<QWidget*> controls = w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* c : controls) {
        QString text;
        QRect room;
        if (auto* label = qobject_cast<QLabel*>(c)) text = label->text(), room = label->contentsRect();
        if (auto* edit = qobject_cast<QLineEdit*>(c); edit && edit->isReadOnly()) {  // 2 px: the edit's own margin
            const int frame = edit->hasFrame() ? c->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
            text = edit->text(), room = c->rect().adjusted(frame + 2, frame, -frame - 2, -frame);
        }
        if (auto* button = qobject_cast<QAbstractButton*>(c); button && !button->text().isEmpty()) {
            QStyleOptionButton o;
            o.initFrom(c);
            text = button->text(), room = c->style()->subElementRect(c->inherits("QPushButton") ? QStyle::SE_PushButtonContents
                : c->inherits("QCheckBox") ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &o, c);
            keys << QKeySequence::mnemonic(text).toString();
        }
        if (c->inherits("QGroupBox")) {
            auto* box = qobject_cast<GroupBox*>(c);
            ASSERT_NE(box, nullptr) << "Qt's own group box draws its frame below the title";
            text = box->title(), room = box->TitleRect();
            const QRect inside = c->geometry().adjusted(2, room.bottom() + 1, -2, -2), line(1, c->fontMetrics().height() / 2, 1, 1);
            EXPECT_EQ(c->grab(line).toImage().pixel(0, 0), c->palette().color(QPalette::Dark).rgb()) << "frame line";
            for (QWidget* in : controls)
                EXPECT_TRUE(in == c || !in->geometry().intersects(c->geometry()) || inside.contains(in->geometry())) << in->objectName().toStdString();
        }
        const QSize need = QFontMetrics(c->font()).size(Qt::TextShowMnemonic, text);
        EXPECT_TRUE(text.isEmpty() || (need.width() <= room.width() && need.height() <= room.height()))
            << text.toStdString() << ": " << need.width() << " x " << need.height() << " in " << room.width() << " x " << room.height();
    }
    EXPECT_TRUE(keys.removeDuplicates() == 0 && !keys.contains(QString())) << keys.join(' ').toStdString();

    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_W, Qt::AltModifier);  // a click shown for a moment, then done
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.Item<QCheckBox>(kWaitForTrigger)->isChecked(); })) << "Alt+W";
    std::set<QWidget*> reached;
    for (int i = 0; i < 40; ++i, reached.insert(QApplication::focusWidget())) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(reached.count(w.GetDlgItem(kHighNominal)) && reached.count(w.GetDlgItem(kSpeedAdjust)));
    for (QWidget* c : reached) EXPECT_FALSE(c->inherits("QLineEdit") && static_cast<QLineEdit*>(c)->isReadOnly()) << c->objectName().toStdString();
    EXPECT_TRUE(script.messages.empty());
}

// Maximised on a large screen the plot takes the growth and the view its new width; the wheel zooms
// around the pointer, a drag pans, the keys step and page, the dB box and the live readout work.
TEST_F(MainWindowTest, APlotThatGrowsZoomsPansAndReadsOut) {
    MainWindow& w = Start();
    const QSize normal = w.size(), plot(w.View().plotRect.Width(), w.View().plotRect.Height());
    const QRect bar = w.GetDlgItem(kScrollBar)->geometry(), panel = w.GetDlgItem(kPanelTabs)->geometry();
    const QRect status = w.GetDlgItem(kTuningStatus)->geometry();
    EXPECT_EQ(w.minimumSize(), normal);
    w.resize(1920, 1080);
    const int dx = 1920 - normal.width(), dy = 1080 - normal.height();
    EXPECT_LT(w.Item<QTableWidget>(kTuningTable)->horizontalHeader()->sectionSize(8), 200) << "sized to its contents";
    const int width = w.View().plotRect.Width(), grown = w.View().plotRect.Height() - plot.height();
    const QRect tabs = w.GetDlgItem(kPanelTabs)->geometry();
    EXPECT_TRUE(grown > dy / 2 && tabs.height() > panel.height()) << "the plot takes most of the growth, the panel the rest";
    EXPECT_EQ(std::tuple(width, grown + tabs.height() - panel.height(), w.GetDlgItem(kScrollBar)->geometry(), tabs.top()),
              std::tuple(plot.width() + dx, dy, bar.translated(0, grown).adjusted(0, 0, dx, 0), panel.top() + grown));
    EXPECT_EQ(w.GetDlgItem(kTuningStatus)->geometry(), status.translated(0, dy).adjusted(0, 0, dx, 0)) << "at the bottom";
    EXPECT_EQ(std::tuple(w.View().binsPerPixel, w.Item<SpinButton>(kSpin)->Upper(), w.Item<ScrollBar>(kScrollBar)->GetScrollInfo().page),
              std::tuple(FitBinsPerPixel(10000, width), width - 1, width * FitBinsPerPixel(10000, width)));
    const QPoint at(w.View().frameRect.left + 300, w.View().frameRect.top + 100);
    const int point = ColumnFirstPoint(300, w.View().firstBin, w.View().binsPerPixel);
    QWheelEvent wheel(at, w.mapToGlobal(at), {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &wheel);
    EXPECT_EQ(std::pair(w.View().binsPerPixel, ColumnFirstPoint(300, w.View().firstBin, 4)), std::pair(4, point / 4 * 4));
    const int first = w.View().firstBin;
    QTest::mousePress(&w, Qt::LeftButton, {}, at);
    QTest::mouseMove(&w, at + QPoint(-50, 0));
    QTest::mouseRelease(&w, Qt::LeftButton, {}, at + QPoint(-50, 0));
    EXPECT_EQ(w.View().firstBin, first + 200) << "dragged 50 columns left";
    const int column = w.Item<SpinButton>(kSpin)->GetPos();
    QTest::keyClick(w.GetDlgItem(kPlotFrame), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(w.GetDlgItem(kPlotFrame), Qt::Key_PageDown);
    EXPECT_EQ(std::pair(w.View().firstBin, w.Item<SpinButton>(kSpin)->GetPos()), std::pair(first + 400, column - 50 + 10)) << "the drag left the cursor 50 columns left";
    w.Item<QCheckBox>(kDecibels)->click();
    QTest::mouseMove(&w, at);
    EXPECT_TRUE(w.View().decibels);
    const double hovered = (first + 1600) * 0.5;  // column 300 from first + 400, silent between the start-up peaks
    EXPECT_EQ(w.HoverReadout(), FormatDouble15(hovered) + " Hz  0  " + NoteName(hovered));
}

// At 0.05 Hz the cursor keeps its point through the exchanges the level meter runs five times a second and a
// "Scale" that centres the plot on it again.
TEST_F(MainWindowTest, CursorKeepsItsPointAtTheFinestInterval) {
    MainWindow& w = Start();
    w.SetProgressTick(1);
    ASSERT_TRUE(SaveWaveFile("bell.wav", WithSamples({}, BellSamples(2 * 44100))));
    SetText(kInterval, "0.05"), SetText(kEndFrequency, "1000"), SetText(kHighNominal, "1000");
    ASSERT_TRUE(w.AnalyseSoundFile("bell.wav"));
    const SpectrumView& view = w.View();
    ASSERT_EQ(std::pair(w.CurrentBell().spectrum.interval, w.CurrentBell().spectrum.steps), std::pair(0.05, 20000));
    w.show();
    while (view.binsPerPixel != 1) w.Item<QPushButton>(kScale)->click();
    int moved = 0;
    for (int column = 0; column < 100; ++column) {
        QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(view.frameRect.left + column, view.frameRect.top + 50));
        const int point = view.cursorBin;
        const double hz = view.cursorFrequency;
        w.UpdateData(true);
        w.Item<QPushButton>(kScale)->click();
        moved += view.cursorFrequency != hz || view.cursorBin != SnapToColumn(point, view.firstBin, view.binsPerPixel);
        while (view.binsPerPixel != 1) w.Item<QPushButton>(kScale)->click();
        moved += view.cursorBin != point;  // back at one point a column
    }
    EXPECT_EQ(moved, 0);
}

// "Calibrate...": the reference typed, 3 s of the tone recorded from the trigger, "Speed Adjust" set to
// reference / measured and, when the user keeps it, written where the program read it at start-up.
TEST_F(MainWindowTest, CalibrationFromAReferenceTone) {
    std::vector<std::vector<std::int16_t>> blocks(2, std::vector<std::int16_t>(kCaptureBlockSamples, 0));
    for (int b = 0, i = 0; b < 17; ++b) {
        blocks.emplace_back(kCaptureBlockSamples);
        for (std::int16_t& s : blocks.back()) s = static_cast<std::int16_t>(std::lround(9000.0 * std::sin(2.0 * M_PI * 599.7 * i++ / 44100.0)));
    }
    MainWindow& w = Start(blocks);
    WhenModalStatic([](QWidget* ask) {
        ask->findChild<QLineEdit*>("id1400")->setText("600");
        ask->findChild<QPushButton*>("id1")->click();
    });
    w.Item<QPushButton>(kCalibrate)->click();
    EXPECT_EQ(Text(kStatus), "wait for trigger");
    QString shown;
    auto* poll = new QTimer(&w);  // the result comes inside the message's handling: watch for it
    QObject::connect(poll, &QTimer::timeout, poll, [&shown, poll] {
        if (auto* result = dynamic_cast<CalibrationResultDialog*>(QApplication::activeModalWidget())) {
            for (const QLabel* label : result->findChildren<QLabel*>()) shown += label->text() + "\n";
            result->findChild<QPushButton*>("id1")->click();
            poll->deleteLater();
        }
    });
    poll->start(0);
    Deliver(2 + 17);
    EXPECT_EQ(Text(kStatus), "stopped");
    EXPECT_NEAR(Text(kSpeedAdjust).toDouble(), 600.0 / 599.7, 2e-6);
    EXPECT_TRUE(shown.contains("correct.txt") && shown.contains("Reference 600 Hz, measured 599.7")) << shown.toStdString();
    EXPECT_NEAR(ReadCalibration(), 600.0 / 599.7, 2e-6);
    EXPECT_EQ(w.CurrentBell().sound, SoundState::None) << "the bell is left as it was";
    EXPECT_TRUE(script.messages.empty());
}

// The window's command line: one file ("-" is a file name too), --help and --version anywhere, the rest said.
TEST(CommandLine, FileHelpVersionAndProblems) {
    const CommandLine line = ParseCommandLine({"tenor.wav", "--bogus", "treble.wav"});
    EXPECT_EQ(std::tuple(line.file, line.help, line.version, line.problems.size()), std::tuple("tenor.wav", false, false, 2u));
    EXPECT_EQ(ParseCommandLine({"-"}).file, "-");
    EXPECT_TRUE(ParseCommandLine({"x.wav", "-h"}).help && ParseCommandLine({"--version"}).version);
    EXPECT_EQ(VersionLine("campanor").rfind("campanor " CAMPANOR_VERSION, 0), 0u);
}

// Start-up peaks are cut at the band edges, never written outside; a band
// too short to smooth names no partials (the window test shows the good path).
TEST(StartupSpectrum, EdgesAndFailure) {
    Spectrum spectrum{0.0, 50.0, 0.5, 100, std::vector<double>(101, -1.0), {}, 0.0, 0.0};  // -1 marks points not written
    // Tops at points 1 and 97; the rest lie outside the band.
    for (const StartupPeak peak : {StartupPeak{0.5, 10}, {48.9, 20}, {49.0, 99}, {-4.0, 99}, {-1e300, 99}})
        AddStartupPeak(spectrum, peak.frequency, peak.amplitude);
    const double* p = spectrum.magnitudes.data();
    EXPECT_EQ(std::vector<double>(p, p + 7), (std::vector<double>{4, 10, 4, 2.5, 10 / 7.0, 10 / 15.0, -1}));
    EXPECT_EQ(std::vector<double>(p + 92, p + 101),
              (std::vector<double>{-1, 20 / 15.0, 20 / 7.0, 5, 8, 20, 8, 5, 20 / 7.0}));
    EXPECT_EQ(std::count(p, p + 101, -1.0), 101 - 14) << "nothing else written";
    PartialTable table;
    AnalysisRequest request{0.0, 5.0, 0.5, 10, 0, 0, 44100, 0, {}};
    EXPECT_FALSE(PrepareStartupSpectrum(spectrum, table, request, 0.0, 5000.0));
    EXPECT_EQ(request.recordLength + request.lastSample, 2 * 88200);
    EXPECT_TRUE(spectrum.Measured() && !spectrum.Smoothed() && !table.partialsValid);
}

// Volume is the positive peak in percent, an overload stays lit for ten messages, the threshold follows the
// slider once the user let go of it or moved it by keys, and shows beside it. Typed parameters are read only when an edit is left; a refused one keeps the focus and
// stops the exchange, and a level message meanwhile is dropped.
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
    EXPECT_EQ(w.LiveInput().Threshold(), 25 * 327) << "a value set by the program is no move";
    QTest::mouseRelease(slider, Qt::LeftButton, {}, slider->rect().center());
    Deliver();
    EXPECT_EQ(w.LiveInput().Threshold(), 60 * 327);
    for (const Qt::Key key : {Qt::Key_PageUp, Qt::Key_Right}) QTest::keyClick(slider, key);
    Deliver();
    EXPECT_TRUE(w.LiveInput().Threshold() == 71 * 327 && w.Item<QLabel>(kTriggerValue)->text() == "71");

    SetText(kInterval, "6");
    SetText(kSpeedAdjust, "1.1");
    w.Refresh();  // a push leaves typed parameters alone
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.GetDlgItem(kInterval)->setFocus(Qt::TabFocusReason);
    script.whileMessageOpen = [&](const ShownMessage&) { Deliver(); };
    w.GetDlgItem(kEndFrequency)->setFocus(Qt::TabFocusReason);
    script.whileMessageOpen = nullptr;
    QCoreApplication::processEvents();
    EXPECT_EQ(volume(), 0) << "the 16384 block came while the range message was open";
    EXPECT_EQ(script.messages.at(0).text, "Please enter a number between 0.05 and 5.");
    EXPECT_EQ(QApplication::focusWidget(), w.GetDlgItem(kInterval));
    EXPECT_EQ(w.EditedParameters().interval + w.EditedParameters().speedAdjust, 7.0) << "stored, and the speed not read after it";
    Deliver();
    EXPECT_EQ(volume(), 99);
    SetText(kInterval, "0.5");
    w.OnParameterKillFocus();
    EXPECT_EQ(script.messages.size(), 1u) << "level exchanges do not check the parameters";
    EXPECT_EQ(w.EditedParameters().speedAdjust, 1.1);
    // Enter in an edit applies it (with its range check) and never asks to exit.
    SetText(kSpeedAdjust, "1.3");
    QTimer::singleShot(0, [] { if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->reject(); });
    QTest::keyClick(w.GetDlgItem(kInterval), Qt::Key_Return);
    QCoreApplication::processEvents();  // the timer goes now, not in the next test
    EXPECT_EQ(script.messages.back().text, "Please enter a number between 0.9 and 1.1.");
    EXPECT_FALSE(w.Ended());
}

// Exit, Escape and the close box all ask first. Cancel leaves the recorder
// running; OK closes it before the window goes.
TEST_F(MainWindowTest, ExitEscapeAndCloseBoxAskFirst) {
    const struct { int way, answer, result; } cases[] = {{0, IDCANCEL, 0}, {1, IDCANCEL, 0}, {2, IDCANCEL, 0},
                                                        {0, IDOK, IDOK}, {2, IDOK, IDCANCEL}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "way " << c.way << " answer " << c.answer);
        MainWindow& w = Start();
        delivered = 0;
        WhenModalStatic([&](QWidget* modal) {
            EXPECT_EQ(modal->windowTitle(), "Exiting Campanor");
            modal->findChild<QPushButton*>(QStringLiteral("id%1").arg(c.answer))->click();
        });
        if (c.way == 0) w.Item<QPushButton>(kExit)->click();
        if (c.way == 1) QTest::keyClick(&w, Qt::Key_Escape);
        if (c.way == 2) w.close();
        if (c.answer == IDCANCEL) Deliver();  // still capturing
        EXPECT_EQ(w.Ended(), c.answer == IDOK);
        EXPECT_EQ(capture->IsOpen(), c.answer != IDOK) << "OK closes the recorder";
        EXPECT_EQ(w.result(), c.result);
    }
}

// The application object runs the main window modally with the compiled-in
// versions; a missing input device ends it after the message.
// The microphone fails in the middle of a recording, and again after a whole one: each time the status and a
// message say so, "Start analysis" opens the input again, and only a finished recording stays to be saved.
TEST_F(MainWindowTest, ALostInputIsSaidAndReopened) {
    StartOn(std::make_shared<ScriptedCapture>([](std::int64_t index, std::int16_t* block, std::int32_t n) {
        for (std::int32_t i = 0; i < n; ++i) block[i] = static_cast<std::int16_t>(i % 2 ? 20000 : -20000);
        return index == 3 || index == 16 ? -1 : n;
    }));
    window->SetProgressTick(1);
    const auto start = [&] { window->Item<QPushButton>(MainWindowIds::kStartAnalysis)->click(); };
    const auto lose = [&] {
        capture->Deliver(1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return Text(MainWindowIds::kStatus) == "input lost"; }));
        EXPECT_EQ(script.messages.back().text, "The sound input stopped. \"Start analysis\" will try to open it again.");
        EXPECT_FALSE(capture->IsOpen());
    };
    start();
    Deliver(3);
    lose();
    EXPECT_FALSE(Enabled(MainWindowIds::kSaveRecording));
    start();
    EXPECT_TRUE(capture->IsOpen());
    Deliver(12);  // eleven blocks make the recording, which is analysed
    EXPECT_EQ(Text(MainWindowIds::kStatus), "stopped");
    lose();
    EXPECT_TRUE(Enabled(MainWindowIds::kSaveRecording));
}

TEST_F(MainWindowTest, ApplicationRunsTheMainWindow) {
    auto* app = static_cast<AnalyserApp*>(QCoreApplication::instance());
    std::string shown;
    bool liveOff = false;
    for (const std::int16_t openCode : {0, 2}) {  // without a microphone the window still opens
        capture = std::make_shared<ScriptedCapture>(std::vector<std::vector<std::int16_t>>{});
        capture->SetOpenResult(openCode);
        SetCaptureSourceFactory(capture->Factory());
        EXPECT_FALSE(app->InitInstance([&](const AnalyserApp& a) {
            auto made = std::make_unique<MainWindow>(a.versions);
            QTimer::singleShot(0, [&, openCode, w = made.get()] {
                if (openCode == 0) capture->Deliver(3);  // level messages while the modal loop runs
                shown = w->Item<QLineEdit>(kProductVersion)->text().toStdString();
                liveOff = !w->IsWindowEnabled(kStartAnalysis) && w->IsWindowEnabled(kReadPartials) &&
                          w->IsWindowEnabled(kAnalyseFile) && w->IsWindowEnabled(kSaveReport);
                WhenModalStatic([](QWidget* exit) { exit->findChild<QPushButton*>("id1")->click(); });
                w->Item<QPushButton>(kExit)->click();
            });
            return made;
        }));
        EXPECT_FALSE(capture->IsOpen()) << openCode;
    }
    const VersionStrings& v = app->versions;
    EXPECT_EQ(v.fileDescription + "|" + v.companyName + "|" + v.legalNotice,
              "Campanor bell analyser|Campanor developers|Copyright (C) 2026 Campanor developers");
    EXPECT_TRUE(!shown.empty() && shown == v.productVersion && liveOff) << shown;
    // The bell icon at every size a desktop asks for, drawn rather than scaled.
    EXPECT_EQ(CampanorIcon().availableSizes(), (QList<QSize>{{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}}));
    ASSERT_EQ(script.messages.size(), 1u) << "one message when the device fails";
    EXPECT_EQ(script.messages[0].title + ": " + script.messages[0].text,
              "Campanor: Sound format not supported!\n\nLive recording is off. Reading partials, analysing sound "
              "files, viewing and saving still work.");
}

using ToolkitTest = MainWindowTest;  // for its scripted dialogs

struct TestDialog : Dialog {
    TestDialog() {
        SetTemplate(100, 60, "Test");
        AddEdit(10, {5, 5, 50, 12}, false);
        AddButton(IDOK, "OK", {5, 40, 40, 14}, true);
    }
    void DoDataExchange(DataExchange& dx) override {
        DDX_Text(dx, 10, interval);
        DDV_MinMaxDouble(dx, interval, 0.05, 5.0);
    }
    void OnPostedMessage(unsigned message) override { received.push_back(message); }
    double interval = 0.5;
    std::vector<unsigned> received;
};

// OK ends the dialog only after a whole exchange; a refusal stops the pass
// there. Messages posted from another thread arrive in order.
TEST_F(ToolkitTest, ExchangeAndPostedMessages) {
    TestDialog dialog;
    MainWindowTest::WhenModalStatic([&](QWidget*) {
        const std::pair<const char*, const char*> typed[] = {{"5.01", "Please enter a number between 0.05 and 5."},
            {"1.5 Hz", "Please enter a number."}, {"nan", "Please enter a number."}, {"", "Please enter a number."},
            {"  5 ", ""}};
        for (const auto& [text, message] : typed) {
            dialog.Item<QLineEdit>(10)->setText(text);
            dialog.Item<QPushButton>(IDOK)->click();
            EXPECT_EQ(dialog.Ended() ? "" : script.messages.back().text, message) << text;
        }
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.interval, 5.0);
    EXPECT_EQ(script.messages.at(0).title, ApplicationTitle().toStdString());

    // The recorder's mailbox: posted from another thread, delivered in order, also from inside a modal loop.
    RecorderMailbox mailbox([&](unsigned m) { dialog.received.push_back(m); });
    std::thread([&] { for (unsigned m = 0; m < 200; ++m) mailbox.Post(0x400 + m % 3); }).join();
    MainWindowTest::WhenModalStatic([&](QWidget* modal) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.received.size() == 200; }));
        modal->close();
    });
    QDialog().exec();
    for (unsigned m = 0; m < 200; ++m) ASSERT_EQ(dialog.received[m], 0x400 + m % 3);
}

// A scripted answer gets the default extension; the real dialog, with no hooks, is accepted or cancelled.
TEST_F(ToolkitTest, FileDialogsScriptedAndReal) {
    EXPECT_EQ(FileFilterToQt("Wave files|*.wav;*.WAV|"), "Wave files (*.wav *.WAV)");
    EXPECT_EQ(FileFilterToQt("Partials (*.par)|*.par|"), "Partials (*.par)");
    const char* filter = "Partials (*.par)|*.par|";
    script.fileAnswers = {std::string("/tmp/a.b/tenor")};
    std::string path;
    EXPECT_TRUE(SaveFileDialog(nullptr, filter, "par", "tenor.wav", path));
    EXPECT_EQ(path, "/tmp/a.b/tenor.par");
    SetUiScript(nullptr);
    QTemporaryDir folder;
    // A name in a folder that does not exist is refused with a message; the dialog stays until cancelled.
    const struct { const char* name; bool save, accepted; const char* path; } answers[] = {{"tenor", 1, 1, "/tenor.par"},
        {"treble.txt", 0, 1, "/treble.txt"}, {nullptr, 1, 0, "/treble.txt"}, {"no/bell", 1, 0, "/treble.txt"}};
    for (const auto& a : answers) {
        MainWindowTest::WhenModalStatic([&folder, name = a.name](QWidget* modal) {
            auto* files = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(files, nullptr);
            if (name == nullptr) return files->reject();
            files->setDirectory(folder.path());
            files->selectFile(name);
            QTimer::singleShot(0, [] { if (auto* b = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) b->accept(); });
            static_cast<QDialog*>(files)->accept();  // QFileDialog::accept, as the Save button
            if (files->isVisible()) files->reject();
        });
        const bool accepted = a.save ? SaveFileDialog(nullptr, filter, "par", "bell", path)
                                     : OpenFileDialog(nullptr, filter, "par", path);
        EXPECT_EQ(accepted, a.accepted);
        EXPECT_EQ(path, (folder.path() + a.path).toStdString()) << "Cancel leaves the path";
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    AnalyserApp app(argc, argv);  // the one application object of the process
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
