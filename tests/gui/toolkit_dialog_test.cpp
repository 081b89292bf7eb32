// Dialog life cycle, posted messages (also inside a real message box's
// nested loop) and timers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <thread>
#include <vector>

#include "ui/toolkit/data_exchange.h"
#include "ui/toolkit/message_box.h"
#include "tests/support/ui_script.h"

namespace {

class LifeDialog : public Dialog {
public:
    LifeDialog() {
        SetTemplate(100, 60, "Life");
        AddEdit(10, {5, 5, 50, 12}, false);
        AddButton(IDOK, "OK", {5, 40, 40, 14}, true);
        AddButton(IDCANCEL, "Cancel", {50, 40, 40, 14});
    }
    bool OnInitDialog() override {
        ++initCalls;
        Dialog::OnInitDialog();
        if (endInInit) EndDialog(IDCANCEL);
        return true;
    }
    void DoDataExchange(DataExchange& dx) override {
        DDX_Text(dx, 10, value);
        DDV_MinMaxDouble(dx, value, 0.0, 10.0);
    }
    void OnTimer(int id) override {
        timerIds.push_back(id);
        if (timerIds.size() == 3) KillTimer(id);
    }
    void OnPostedMessage(unsigned message) override { received.push_back(message); }

    bool endInInit = false;
    int initCalls = 0;
    double value = 1.0;
    std::vector<int> timerIds;
    std::vector<unsigned> received;
};

// Runs `action` once the modal loop of a dialog is up.
void WhenModal(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        action(modal);
    });
}

// Processes events until `done` holds or about five seconds have passed.
bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 5000) QTest::qWait(5);
    return done();
}

TEST(DialogLifeCycle, EndedInInitDialogIsNeverShown) {
    LifeDialog dialog;
    dialog.endInInit = true;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.initCalls, 1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.Create());
}

TEST(DialogLifeCycle, OkButtonEndsOnlyAfterAGoodExchange) {
    UiScript script;
    SetUiScript(&script);
    LifeDialog dialog;
    WhenModal([&](QWidget*) {
        dialog.Item<QLineEdit>(10)->setText("11");
        dialog.Item<QPushButton>(IDOK)->click();
        EXPECT_FALSE(dialog.Ended()) << "a refused value must keep the dialog open";
        dialog.Item<QLineEdit>(10)->setText("7.5");
        dialog.Item<QPushButton>(IDOK)->click();
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.value, 7.5);
    EXPECT_EQ(script.messages.size(), 1u);
    SetUiScript(nullptr);
}

TEST(DialogLifeCycle, EscapeAndCloseBoxCancel) {
    LifeDialog escaped;
    WhenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(escaped.DoModal(), IDCANCEL);

    LifeDialog closed;
    WhenModal([](QWidget* modal) { modal->close(); });
    EXPECT_EQ(closed.DoModal(), IDCANCEL);

    LifeDialog cancelled;
    WhenModal([&](QWidget*) { cancelled.Item<QPushButton>(IDCANCEL)->click(); });
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
}

TEST(DialogMessages, PostedFromAnotherThreadArriveInOrder) {
    LifeDialog dialog;
    std::thread poster([&] {
        for (unsigned m = 0; m < 200; ++m) dialog.PostMessage(0x400 + m % 3);
    });
    poster.join();
    ASSERT_TRUE(WaitFor([&] { return dialog.received.size() == 200; }));
    for (unsigned m = 0; m < 200; ++m) ASSERT_EQ(dialog.received[m], 0x400 + m % 3);
}

TEST(DialogMessages, HandledInsideARealMessageBoxLoop) {
    LifeDialog dialog;
    dialog.Create();
    bool boxOpen = false;
    std::vector<bool> openWhenReceived;
    QTimer::singleShot(0, [&] {
        // The box is up now: post from another thread, then close the box
        // once the messages have been handled inside its loop.
        std::thread([&] { dialog.PostMessage(0x402); dialog.PostMessage(0x401); }).join();
        ASSERT_TRUE(WaitFor([&] { return dialog.received.size() == 2; }));
        openWhenReceived.push_back(boxOpen);
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), ApplicationTitle());
        EXPECT_EQ(box->text(), "Stop!");
        box->button(QMessageBox::Ok)->click();
    });
    boxOpen = true;
    MessageBox(&dialog, "Stop!");
    boxOpen = false;
    ASSERT_EQ(openWhenReceived.size(), 1u);
    EXPECT_TRUE(openWhenReceived[0]);
    EXPECT_EQ(dialog.received, (std::vector<unsigned>{0x402, 0x401}));
    dialog.EndDialog(IDOK);
}

TEST(DialogMessages, DroppedWhenTheDialogIsGone) {
    struct CountingDialog : Dialog {
        explicit CountingDialog(int& count) : count_(count) {}
        void OnPostedMessage(unsigned) override { ++count_; }
        int& count_;
    };
    int handled = 0;
    auto dialog = std::make_unique<CountingDialog>(handled);
    dialog->PostMessage(0x402);
    dialog.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(handled, 0);
}

TEST(DialogTimers, DeliverUntilKilled) {
    LifeDialog dialog;
    ASSERT_TRUE(dialog.SetTimer(7, 5));
    ASSERT_TRUE(WaitFor([&] { return dialog.timerIds.size() >= 3; }));
    QTest::qWait(50);
    EXPECT_EQ(dialog.timerIds, (std::vector<int>{7, 7, 7}));
    EXPECT_FALSE(dialog.KillTimer(7)) << "already killed by OnTimer";
}

}  // namespace
