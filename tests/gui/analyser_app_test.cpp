// The application object: its own main() makes the one AnalyserApp of the
// process. Version strings compiled in, the main window run modally, and a
// missing input device ending the program after its message.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/main_window.h"
#include "audio/recorder.h"
#include "tests/support/scripted_capture.h"
#include "ui/analyser_app.h"
#include "ui/app_icon.h"
#include "tests/support/ui_script.h"

namespace {

AnalyserApp* application = nullptr;

TEST(AnalyserApp, VersionStringsAndTitle) {
    application->ReadVersionStrings();
    const VersionStrings& v = application->versions;
    EXPECT_EQ(v.fileDescription, "Campanor bell analyser");
    EXPECT_EQ(v.companyName, "Campanor developers");
    EXPECT_EQ(v.legalNotice, "Copyright (C) 2026 Campanor developers");
    EXPECT_FALSE(v.productVersion.empty());
    EXPECT_EQ(v.productVersion.find_first_not_of("0123456789."), std::string::npos) << v.productVersion;
    EXPECT_EQ(AnalyserApp::applicationDisplayName(), "Campanor");
    EXPECT_FALSE(CampanorIcon().isNull());
    EXPECT_EQ(CampanorIcon().pixmap(32, 32).size(), QSize(32, 32));
}

TEST(AnalyserApp, RunsTheMainWindowAndEndsWhenItCloses) {
    auto capture = std::make_shared<ScriptedCapture>(std::vector<std::vector<std::int16_t>>{});
    SetCaptureSourceFactory(capture->Factory());
    std::string versionShown;
    bool windowGone = false;
    const bool result = application->InitInstance([&](const AnalyserApp& app) {
        auto window = std::make_unique<MainWindow>(app.versions);
        MainWindow* w = window.get();
        QObject::connect(w, &QObject::destroyed, [&] { windowGone = true; });
        QTimer::singleShot(0, [&, w] {
            capture->Deliver(3);  // level messages while the modal loop runs
            versionShown = w->Item<QLineEdit>(MainWindowIds::kProductVersion)->text().toStdString();
            QTimer::singleShot(0, [] {
                QApplication::activeModalWidget()->findChild<QPushButton*>("id1")->click();
            });
            w->Item<QPushButton>(MainWindowIds::kExit)->click();
        });
        return window;
    });
    EXPECT_FALSE(result);
    EXPECT_TRUE(windowGone) << "the main window is destroyed before InitInstance returns";
    EXPECT_EQ(versionShown, application->versions.productVersion);
    EXPECT_FALSE(capture->IsOpen());
    SetCaptureSourceFactory({});
}

TEST(AnalyserApp, NoInputDeviceEndsAfterTheMessage) {
    auto capture = std::make_shared<ScriptedCapture>(std::vector<std::vector<std::int16_t>>{});
    capture->SetOpenResult(2);
    SetCaptureSourceFactory(capture->Factory());
    UiScript script;
    SetUiScript(&script);
    const bool result = application->InitInstance(
        [](const AnalyserApp& app) { return std::make_unique<MainWindow>(app.versions); });
    EXPECT_FALSE(result);
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0].text, "Sound format not supported!");
    EXPECT_EQ(script.messages[0].title, "Campanor");
    SetUiScript(nullptr);
    SetCaptureSourceFactory({});
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    AnalyserApp app(argc, argv);
    application = &app;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
