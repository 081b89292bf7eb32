// The dialog toolkit's own paths that the main window tests do not take.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <thread>

#include "tests/support/ui_script.h"
#include "ui/toolkit/data_exchange.h"
#include "ui/toolkit/file_dialog.h"
#include "ui/toolkit/message_box.h"

namespace {

struct TestDialog : Dialog {
    TestDialog() {
        SetTemplate(100, 60, "Test");
        AddEdit(10, {5, 5, 50, 12}, false);
        AddEdit(11, {5, 20, 50, 12}, false);
        AddButton(IDOK, "OK", {5, 40, 40, 14}, true);
    }
    void DoDataExchange(DataExchange& dx) override {
        DDX_Text(dx, 10, interval);
        DDV_MinMaxDouble(dx, interval, 0.05, 5.0);
        DDX_Text(dx, 11, count);
    }
    void OnTimer(int id) override {
        if (timerIds.push_back(id); timerIds.size() == 3) KillTimer(id);
    }
    void OnPostedMessage(unsigned message) override { received.push_back(message); }
    double interval = 0.5;
    int count = 3;
    std::vector<int> timerIds;
    std::vector<unsigned> received;
};

void WhenModal(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action] { action(QApplication::activeModalWidget()); });
}

// OK ends the dialog only after a whole exchange; a refusal stops the pass
// there. Messages posted from another thread arrive in order; a timer runs until killed.
TEST(Toolkit, ExchangeMessagesAndTimers) {
    UiScript script;
    SetUiScript(&script);
    TestDialog dialog;
    WhenModal([&](QWidget*) {
        const char* refused[][3] = {{"5.01", "7", "Please enter a number between 0.05 and 5."},
            {"1.5 Hz", "7", "Please enter a number."}, {"nan", "7", "Please enter a number."}, {"", "7", "Please enter a number."},
            {"5", "12x", "Please enter an integer."}, {"5", "99999999999", "Please enter an integer."}, {"0.05", " -42 ", ""}};
        for (const auto& r : refused) {
            dialog.Item<QLineEdit>(10)->setText(r[0]);
            dialog.Item<QLineEdit>(11)->setText(r[1]);
            dialog.Item<QPushButton>(IDOK)->click();
            EXPECT_EQ(dialog.Ended() ? "" : script.messages.back().text, r[2]) << r[0] << r[1];
        }
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.interval * 100 + dialog.count, 5 - 42);
    EXPECT_EQ(script.messages.at(0).title, ApplicationTitle().toStdString());
    SetUiScript(nullptr);

    std::thread([&] { for (unsigned m = 0; m < 200; ++m) dialog.PostMessage(0x400 + m % 3); }).join();
    ASSERT_TRUE(dialog.SetTimer(7, 5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.timerIds.size() >= 3; }));
    QTest::qWait(50);
    EXPECT_EQ(dialog.timerIds, (std::vector<int>{7, 7, 7}));
    EXPECT_FALSE(dialog.KillTimer(7)) << "already killed by OnTimer";
    ASSERT_EQ(dialog.received.size(), 200u);
    for (unsigned m = 0; m < 200; ++m) ASSERT_EQ(dialog.received[m], 0x400 + m % 3);
}

// A scripted answer gets the default extension; the real dialog, with no hooks, is accepted or cancelled.
TEST(Toolkit, FileDialogsScriptedAndReal) {
    EXPECT_EQ(FileFilterToQt("Wave files|*.wav;*.WAV|"), "Wave files (*.wav *.WAV)");
    EXPECT_EQ(FileFilterToQt("Partials (*.par)|*.par|"), "Partials (*.par)");
    const char* filter = "Partials (*.par)|*.par|";
    UiScript script;
    script.fileAnswers = {std::string("/tmp/a.b/tenor")};
    SetUiScript(&script);
    std::string path;
    EXPECT_TRUE(SaveFileDialog(nullptr, filter, "par", "tenor.wav", path));
    EXPECT_EQ(path, "/tmp/a.b/tenor.par");
    EXPECT_FALSE(OpenFileDialog(nullptr, filter, "par", path)) << "the queue is empty: Cancel";
    SetUiScript(nullptr);
    QTemporaryDir folder;
    const struct { const char* name; bool save; const char* path; } answers[] = {
        {"tenor", true, "/tenor.par"}, {"treble.txt", false, "/treble.txt"}, {nullptr, true, "/treble.txt"}};
    for (const auto& a : answers) {
        WhenModal([&folder, name = a.name](QWidget* modal) {
            auto* files = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(files, nullptr);
            if (name == nullptr) return files->reject();
            files->setDirectory(folder.path());
            files->selectFile(name);
            static_cast<QDialog*>(files)->accept();  // QFileDialog::accept, as the Save button
        });
        EXPECT_EQ(a.save ? SaveFileDialog(nullptr, filter, "par", "bell", path) : OpenFileDialog(nullptr, filter, "par", path),
                  a.name != nullptr);
        EXPECT_EQ(path, (folder.path() + a.path).toStdString()) << "Cancel leaves the path";
    }
}

}  // namespace
