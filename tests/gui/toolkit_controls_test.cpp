// Controls of the toolkit: placement, scroll bar and up-down codes,
// focus and release notifications, scripted file dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <utility>
#include <vector>

#include "ui/toolkit/dialog.h"
#include "ui/toolkit/file_dialog.h"
#include "ui/toolkit/scroll_bar.h"
#include "ui/toolkit/spin_button.h"
#include "tests/support/ui_script.h"

namespace {

using Scroll = std::pair<int, int>;  // code, position

class ControlsDialog : public Dialog {
public:
    ControlsDialog() {
        SetTemplate(300, 200, "Controls");
        AddEdit(10, {5, 5, 50, 12}, false);
        AddEdit(11, {5, 20, 50, 12}, false);
        AddSlider(12, {5, 40, 80, 15});
        bar = AddScrollBar(30, {5, 80, 200, 10});
        spin = AddSpinButton(31, {5, 95, 20, 12});
        AddBlackFrame(32, {100, 100, 100, 50});
    }
    void OnHScroll(int code, int position, QWidget* source) override {
        (source == bar ? barCodes : spinCodes).push_back({code, position});
        if (source == bar && moveBar) {
            ScrollInfo info = bar->GetScrollInfo();
            info.position = code == SB_LINERIGHT ? info.position + 20 : info.position;
            bar->SetScrollInfo(info);
        }
    }
    void OnLButtonDown(QPoint point) override { clicks.push_back(point); }

    ScrollBar* bar;
    SpinButton* spin;
    bool moveBar = false;
    std::vector<Scroll> barCodes;
    std::vector<Scroll> spinCodes;
    std::vector<QPoint> clicks;
};

TEST(DialogUnits, ConvertEdgesAndTruncate) {
    EXPECT_EQ(DialogUnitsToPixelsX(135), 202);
    EXPECT_EQ(DialogUnitsToPixelsY(95), 154);
    const QRect plot = DialogUnitsToPixels({135, 95, 375, 175});
    EXPECT_EQ(plot, QRect(202, 154, 563, 284));
    EXPECT_EQ(DialogSizeToPixels(517, 287), QSize(775, 466));
    ControlsDialog dialog;
    EXPECT_EQ(dialog.GetDlgItem(32)->geometry(), DialogUnitsToPixels({100, 100, 100, 50}));
    EXPECT_EQ(dialog.GetDlgItem(32)->objectName(), "id32");
    EXPECT_EQ(dialog.GetDlgItem(99), nullptr);
}

TEST(ScrollBarControl, ReportsCodesAndMovesOnlyWhenTheOwnerSaysSo) {
    ControlsDialog dialog;
    dialog.bar->SetScrollInfo({0, 1000, 100, 50, 0});
    EXPECT_EQ(dialog.bar->maximum(), 901);
    dialog.bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    dialog.bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    dialog.bar->triggerAction(QAbstractSlider::SliderToMaximum);
    dialog.bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(dialog.bar->value(), 50);
    EXPECT_EQ(dialog.barCodes, (std::vector<Scroll>{{SB_LINERIGHT, 50}, {SB_PAGELEFT, 50}, {SB_RIGHT, 50}, {SB_LEFT, 50}}));

    dialog.moveBar = true;
    dialog.bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(dialog.bar->value(), 70);
    const ScrollInfo info = dialog.bar->GetScrollInfo();
    EXPECT_EQ(info.maximum, 1000);
    EXPECT_EQ(info.page, 100);
    EXPECT_EQ(info.position, 70);

    dialog.barCodes.clear();
    dialog.bar->setSliderPosition(300);  // a drag of the thumb
    ASSERT_FALSE(dialog.barCodes.empty());
    EXPECT_EQ(dialog.barCodes.front(), Scroll(SB_THUMBTRACK, 300));
}

TEST(SpinButtonControl, StepsWithinItsRangeAndReportsEveryStep) {
    ControlsDialog dialog;
    dialog.spin->SetRange(0, 9);
    dialog.spin->SetPos(12);
    EXPECT_EQ(dialog.spin->GetPos(), 9);
    dialog.spin->Step(1);
    QTest::keyClick(dialog.spin, Qt::Key_Left);
    auto arrows = dialog.spin->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    QToolButton* leftArrow = arrows[0]->arrowType() == Qt::LeftArrow ? arrows[0] : arrows[1];
    QTest::mouseClick(leftArrow, Qt::LeftButton);
    EXPECT_EQ(dialog.spin->GetPos(), 7);
    EXPECT_EQ(dialog.spinCodes, (std::vector<Scroll>{{SB_THUMBPOSITION, 9}, {SB_THUMBPOSITION, 8},
                                                      {SB_ENDSCROLL, 8}, {SB_THUMBPOSITION, 7}}));
    EXPECT_TRUE(dialog.barCodes.empty());
}

TEST(DialogMouse, ClicksOnABlackFrameReachTheDialog) {
    ControlsDialog dialog;
    dialog.show();
    const QPoint inside = dialog.GetDlgItem(32)->geometry().center();
    QWidget* target = dialog.childAt(inside);
    QTest::mouseClick(target != nullptr ? target : &dialog, Qt::LeftButton, {},
                      target != nullptr ? target->mapFrom(&dialog, inside) : inside);
    EXPECT_EQ(dialog.clicks, std::vector<QPoint>{inside});
}

TEST(DialogNotifications, KillFocusAndSliderRelease) {
    ControlsDialog dialog;
    int leftFirst = 0;
    int released = 0;
    dialog.OnKillFocus(10, [&] { ++leftFirst; });
    dialog.OnReleasedCapture(12, [&] { ++released; });
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.GetDlgItem(10)->setFocus(Qt::TabFocusReason);
    dialog.GetDlgItem(11)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(leftFirst, 1);

    QWidget other;
    dialog.GetDlgItem(10)->setFocus(Qt::TabFocusReason);
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(leftFirst, 1) << "another window taking the focus is not a kill-focus";

    auto* slider = dialog.Item<QSlider>(12);
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(slider->width() - 5, slider->height() / 2));
    EXPECT_EQ(released, 0);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() - 5, slider->height() / 2));
    EXPECT_EQ(released, 1);
}

TEST(FileDialogs, FiltersDefaultExtensionAndScriptedAnswers) {
    EXPECT_EQ(FileFilterToQt("Partials file (*.par)|*.par|"), "Partials file (*.par)");
    EXPECT_EQ(FileFilterToQt("Wave files|*.wav;*.WAV|"), "Wave files (*.wav *.WAV)");
    EXPECT_EQ(ApplyDefaultExtension("/tmp/bell", "par"), "/tmp/bell.par");
    EXPECT_EQ(ApplyDefaultExtension("/tmp/a.b/bell", "par"), "/tmp/a.b/bell.par");
    EXPECT_EQ(ApplyDefaultExtension("/tmp/bell.txt", "par"), "/tmp/bell.txt");
    EXPECT_EQ(ApplyDefaultExtension("/tmp/bell", ""), "/tmp/bell");

    UiScript script;
    script.fileAnswers = {std::string("/tmp/tenor"), std::nullopt};
    SetUiScript(&script);
    std::string path = "unchanged";
    EXPECT_TRUE(SaveFileDialog(nullptr, "Partials file (*.par)|*.par|", "par", "tenor.wav", path));
    EXPECT_EQ(path, "/tmp/tenor.par");
    path = "unchanged";
    EXPECT_FALSE(OpenFileDialog(nullptr, "Partials file (*.par)|*.par|", "par", path));
    EXPECT_FALSE(OpenFileDialog(nullptr, "Partials file (*.par)|*.par|", "par", path));
    EXPECT_EQ(path, "unchanged");
    ASSERT_EQ(script.fileRequests.size(), 3u);
    EXPECT_TRUE(script.fileRequests[0].save);
    EXPECT_EQ(script.fileRequests[0].initialName, "tenor.wav");
    EXPECT_FALSE(script.fileRequests[1].save);
    SetUiScript(nullptr);
}

}  // namespace
