// The application object, made by this test's own main(): the compiled-in
// versions, the main window run modally and destroyed, and a missing input
// device ending the program after its message.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/main_window.h"
#include "tests/support/scripted_capture.h"
#include "tests/support/ui_script.h"
#include "ui/analyser_app.h"

namespace {

AnalyserApp* application = nullptr;

std::unique_ptr<Dialog> MakeWindow(const AnalyserApp& app, const std::function<void(MainWindow*)>& whenUp) {
    auto window = std::make_unique<MainWindow>(app.versions);
    QTimer::singleShot(0, [whenUp, w = window.get()] { whenUp(w); });
    return window;
}

TEST(AnalyserApp, RunsTheMainWindowWithTheCompiledVersions) {
    EXPECT_EQ(AnalyserApp::applicationDisplayName(), "Campanor");
    auto capture = std::make_shared<ScriptedCapture>(std::vector<std::vector<std::int16_t>>{});
    SetCaptureSourceFactory(capture->Factory());
    std::string shown;
    EXPECT_FALSE(application->InitInstance([&](const AnalyserApp& app) {
        return MakeWindow(app, [&](MainWindow* w) {
            capture->Deliver(3);  // level messages while the modal loop runs
            shown = w->Item<QLineEdit>(MainWindowIds::kProductVersion)->text().toStdString();
            QTimer::singleShot(0, [] { QApplication::activeModalWidget()->findChild<QPushButton*>("id1")->click(); });
            w->Item<QPushButton>(MainWindowIds::kExit)->click();
        });
    }));
    EXPECT_FALSE(capture->IsOpen()) << "OK in the exit question closed the recorder";
    const VersionStrings& v = application->versions;
    EXPECT_EQ(v.fileDescription + "|" + v.companyName + "|" + v.legalNotice,
              "Campanor bell analyser|Campanor developers|Copyright (C) 2026 Campanor developers");
    EXPECT_EQ(v.productVersion.find_first_not_of("0123456789."), std::string::npos) << v.productVersion;
    EXPECT_EQ(shown, v.productVersion);

    UiScript script;
    SetUiScript(&script);
    capture->SetOpenResult(2);
    EXPECT_FALSE(application->InitInstance([](const AnalyserApp& app) { return MakeWindow(app, [](MainWindow*) {}); }));
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
