// The application object, made once by this test's own main(): version
// strings compiled in, the main window run modally and destroyed, and a
// missing input device ending the program after its message.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/main_window.h"
#include "tests/support/scripted_capture.h"
#include "tests/support/ui_script.h"
#include "ui/analyser_app.h"
#include "ui/app_icon.h"

namespace {

AnalyserApp* application = nullptr;

TEST(AnalyserApp, RunsTheMainWindowWithTheCompiledVersions) {
    EXPECT_EQ(AnalyserApp::applicationDisplayName(), "Campanor");
    EXPECT_EQ(CampanorIcon().pixmap(32, 32).size(), QSize(32, 32));
    auto capture = std::make_shared<ScriptedCapture>(std::vector<std::vector<std::int16_t>>{});
    SetCaptureSourceFactory(capture->Factory());
    std::string versionShown;
    bool windowGone = false;
    EXPECT_FALSE(application->InitInstance([&](const AnalyserApp& app) {
        auto window = std::make_unique<MainWindow>(app.versions);
        QObject::connect(window.get(), &QObject::destroyed, [&] { windowGone = true; });
        QTimer::singleShot(0, [&, w = window.get()] {
            capture->Deliver(3);  // level messages while the modal loop runs
            versionShown = w->Item<QLineEdit>(MainWindowIds::kProductVersion)->text().toStdString();
            QTimer::singleShot(0, [] { QApplication::activeModalWidget()->findChild<QPushButton*>("id1")->click(); });
            w->Item<QPushButton>(MainWindowIds::kExit)->click();
        });
        return window;
    }));
    EXPECT_TRUE(windowGone && !capture->IsOpen());
    const VersionStrings& v = application->versions;
    EXPECT_EQ(v.fileDescription + "|" + v.companyName + "|" + v.legalNotice,
              "Campanor bell analyser|Campanor developers|Copyright (C) 2026 Campanor developers");
    EXPECT_EQ(v.productVersion.find_first_not_of("0123456789."), std::string::npos) << v.productVersion;
    EXPECT_EQ(versionShown, v.productVersion);

    UiScript script;
    SetUiScript(&script);
    capture = std::make_shared<ScriptedCapture>(std::vector<std::vector<std::int16_t>>{});
    capture->SetOpenResult(2);
    SetCaptureSourceFactory(capture->Factory());
    EXPECT_FALSE(application->InitInstance([](const AnalyserApp& app) { return std::make_unique<MainWindow>(app.versions); }));
    ASSERT_EQ(script.messages.size(), 1u) << "no exit question on this path";
    EXPECT_EQ(script.messages[0].title + ": " + script.messages[0].text, "Campanor: Sound format not supported!");
    EXPECT_FALSE(capture->IsOpen());
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
