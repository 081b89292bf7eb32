// The view hosted the way the main window hosts it: a toolkit dialog with
// the plot frame, the toolkit's scroll bar and up-down control, and the
// dialog's own click and scroll routing.
#include <gtest/gtest.h>

#include <QAbstractSlider>
#include <QTest>
#include <vector>

#include "analysis/spectrum_analyser.h"
#include "partials/partial_table.h"
#include "tests/view/view_fixtures.h"
#include "ui/spectrum_view.h"
#include "ui/toolkit/dialog.h"
#include "ui/toolkit/scroll_bar.h"
#include "ui/toolkit/spin_button.h"

namespace {

class PlotDialog : public Dialog, public SpectrumViewHost {
public:
    explicit PlotDialog(SpectrumView& view) : view(view) {
        SetTemplate(300, 130, "Plot");
        frame = AddControl(1045, DialogRect{10, 20, 200, 80}, new PlotFrame(view));
        bar = AddScrollBar(kScrollBarId, DialogRect{10, 100, 200, 10});
        spin = AddSpinButton(kSpinId, DialogRect{10, 5, 20, 12});
    }

    void PushReadouts(bool attach) override { attaches.push_back(attach); }
    void SetScrollInfo(int minimum, int maximum, int page, int position) override {
        bar->SetScrollInfo(ScrollInfo{minimum, maximum, page, position, 0});
    }
    void SetSpinRange(int lower, int upper) override { spin->SetRange(lower, upper); }
    void SetSpinPosition(int position) override { spin->SetPos(position); }
    void ShowImage() override { frame->repaint(); }

    SpectrumView& view;
    PlotFrame* frame = nullptr;
    ScrollBar* bar = nullptr;
    SpinButton* spin = nullptr;
    std::vector<bool> attaches;

protected:
    void OnHScroll(int code, int position, QWidget* source) override {
        const int id = source == bar ? kScrollBarId : source == spin ? kSpinId : 0;
        view.OnHScroll(code, position, id);
    }
    void OnLButtonDown(QPoint point) override { view.OnLButtonDown(0, point); }
};

class SpectrumViewDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<double> values(3001, 1.0);
        values[1103] = 6.0;
        LoadSpectrum(analyser, 0.0, 1.0, values);
        ASSERT_TRUE(dialog.Create());
        width = dialog.frame->width();
        view.SetUp(dialog, width, dialog.frame->height(), dialog.frame->FrameRectIn(&dialog));
        view.OnScale();  // from the full compression back to 1 point per pixel
        ASSERT_EQ(view.binsPerPixel, 1);
        maxFirst = 3000 - width;
    }

    SpectrumAnalyser analyser;
    PartialTable table;
    SpectrumView view{analyser, table};
    PlotDialog dialog{view};
    int width = 0;
    int maxFirst = 0;
};

TEST_F(SpectrumViewDialogTest, ScrollBarStepsAndThumbReachBothEndsExactly) {
    dialog.bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(view.firstBin, 20);
    EXPECT_EQ(dialog.bar->value(), 20);
    dialog.bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(view.firstBin, 220);
    dialog.bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(view.firstBin, maxFirst);
    EXPECT_EQ(dialog.bar->value(), maxFirst);

    // Dragging the thumb to its far end: the bar's last position is one
    // past the last useful left edge, the view stops on that edge.
    dialog.bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(view.firstBin, 0);
    dialog.bar->setSliderDown(true);
    dialog.bar->setSliderPosition(dialog.bar->maximum());
    EXPECT_EQ(view.firstBin, maxFirst);
    dialog.bar->setSliderDown(false);
    EXPECT_EQ(view.firstBin, maxFirst);
    EXPECT_EQ(dialog.bar->value(), maxFirst);
    EXPECT_TRUE(dialog.attaches.back());
}

TEST_F(SpectrumViewDialogTest, ClicksAndSpinStepsMoveTheCursorByColumns) {
    const QPoint origin = dialog.frame->FrameRectIn(&dialog).topLeft();
    // After the scale press the plot is centred on point 0: left edge 0.
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, origin + QPoint(150, 20));
    EXPECT_EQ(view.cursorBin, 150);
    EXPECT_EQ(dialog.spin->GetPos(), 150);
    EXPECT_FALSE(dialog.attaches.back());

    dialog.spin->Step(+1);
    EXPECT_EQ(view.cursorBin, 151);
    dialog.spin->setFocus();
    QTest::keyClick(dialog.spin, Qt::Key_Left);
    QTest::keyClick(dialog.spin, Qt::Key_Left);
    EXPECT_EQ(view.cursorBin, 149);
    EXPECT_DOUBLE_EQ(view.cursorFrequency, 149.0);

    // At 4 points per pixel a step takes the strongest point of the column.
    view.OnScale();
    ASSERT_EQ(view.binsPerPixel, 4);
    view.OnHScroll(kScrollLeft, 0, kScrollBarId);
    dialog.spin->SetPos(274);
    dialog.spin->Step(+1);  // column 275: points 1100 ... 1103
    EXPECT_EQ(view.cursorBin, 1100);
    EXPECT_DOUBLE_EQ(view.cursorFrequency, 1103.0);
    EXPECT_DOUBLE_EQ(view.cursorAmplitude, 6.0);

    const int before = view.cursorBin;
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, origin + QPoint(-1, 20));  // outside
    EXPECT_EQ(view.cursorBin, before);

    // The frame on screen is exactly the view's image.
    const QImage shown = dialog.frame->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, view.image);
}

}  // namespace
