#pragma once
// The real main window with a scripted capture and dialogs, in a temporary current directory.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>

#include "app/main_window.h"
#include "audio/recorder.h"
#include "tests/support/scripted_capture.h"
#include "tests/support/ui_script.h"

// A block of 8192 samples, all `fill`, with sample 100 set to `peak`.
inline std::vector<std::int16_t> Block(std::int16_t peak, std::int16_t fill = 0) {
    std::vector<std::int16_t> block(kCaptureBlockSamples, fill);
    block[100] = peak;
    return block;
}

class MainWindowTest : public ::testing::Test {
public:
    // Runs `action` with the next modal dialog once its loop is up.
    static void WhenModalStatic(std::function<void(QWidget*)> action) {
        QTimer::singleShot(0, [action] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            action(modal);
        });
    }

protected:
    void SetUp() override {
        ASSERT_TRUE(directory.isValid());
        ASSERT_TRUE(QDir::setCurrent(directory.path()));
        SetUiScript(&script);
    }
    void TearDown() override {
        window.reset();
        SetCaptureSourceFactory({});
        SetUiScript(nullptr);
        QDir::setCurrent(previousDirectory);
    }
    // Opens the window (modeless) on a capture of `blocks`, then silence, one block per Deliver.
    MainWindow& Start(std::vector<std::vector<std::int16_t>> blocks = {}) {
        return StartOn(std::make_shared<ScriptedCapture>(std::move(blocks)));
    }
    MainWindow& StartOn(std::shared_ptr<ScriptedCapture> script) {
        capture = std::move(script);
        SetCaptureSourceFactory(capture->Factory());
        window = std::make_unique<MainWindow>(VersionStrings{
            "Campanor bell analyser", "Campanor developers", "9.8.7", "Copyright (C) 2026 Campanor developers"});
        started = window->Create();
        return *window;
    }
    // Lets `count` blocks through the recorder and handles their messages.
    void Deliver(int count = 1) {
        capture->Deliver(count);
        ASSERT_TRUE(capture->WaitProcessed(delivered += count));
        QCoreApplication::processEvents();
    }
    void WriteCalibration(const std::string& content) { std::ofstream("correct.txt", std::ios::binary) << content; }
    QString Text(int id) { return window->Item<QLineEdit>(id)->text(); }
    void SetText(int id, const char* text) { window->Item<QLineEdit>(id)->setText(text); }
    bool Enabled(int id) { return window->IsWindowEnabled(id); }

    QTemporaryDir directory;
    QString previousDirectory = QDir::currentPath();
    UiScript script;
    std::shared_ptr<ScriptedCapture> capture;
    std::unique_ptr<MainWindow> window;
    bool started = false;
    std::int64_t delivered = 0;
};
