// The plot beyond its template: it grows with the window, zooms with the
// wheel, pans with a drag, reads out what lies under the pointer and takes
// the arrow and page keys.
#include <QCheckBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>

#include "app/main_window.h"
#include "ui/spectrum_geometry.h"

using namespace MainWindowIds;

void MainWindow::resizeEvent(QResizeEvent* event) {
    Dialog::resizeEvent(event);
    LayoutPlot();
}

void MainWindow::OnLButtonDown(QPoint point) {
    view.OnLButtonDown(0, point);
    if (view.frameRect.Contains(point.x(), point.y())) {
        dragging_ = true;
        dragStartX_ = point.x();
        dragStartFirstBin_ = view.firstBin;
        if (plotFrame != nullptr) plotFrame->setFocus(Qt::MouseFocusReason);
    }
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (dragging_ && (event->buttons() & Qt::LeftButton) != 0) {
        view.DragTo(dragStartFirstBin_, point.x() - dragStartX_);
    }
    CursorPick pick;
    if (view.HoverAt(point, pick)) {
        hoverReadout = view.ReadoutText(pick);
        QToolTip::showText(event->globalPosition().toPoint(), QString::fromStdString(hoverReadout), this);
    } else if (!hoverReadout.empty()) {
        hoverReadout.clear();
        QToolTip::hideText();
    }
    Dialog::mouseMoveEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
    Dialog::mouseReleaseEvent(event);
}

void MainWindow::wheelEvent(QWheelEvent* event) {
    const QPoint point = event->position().toPoint();
    // Zoom follows "Scale": only on a finished spectrum while idle.
    if (!view.frameRect.Contains(point.x(), point.y()) || !IsWindowEnabled(kScale)) {
        return Dialog::wheelEvent(event);
    }
    // One step per notch (120 eighths of a degree); touchpads send less.
    wheelAngle_ += event->angleDelta().y();
    for (; wheelAngle_ >= 120; wheelAngle_ -= 120) view.ZoomAt(point, true);
    for (; wheelAngle_ <= -120; wheelAngle_ += 120) view.ZoomAt(point, false);
    event->accept();
}

bool MainWindow::PlotKey(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
        view.OnHScroll(key == Qt::Key_PageUp ? kScrollPageLeft : kScrollPageRight, 0, kScrollBarId);
        return true;
    }
    const bool arrow = key == Qt::Key_Left || key == Qt::Key_Right;
    if (!arrow || plotFrame == nullptr || focusWidget() != plotFrame || !IsWindowEnabled(kSpin)) return false;
    const int steps = (event->modifiers() & Qt::ShiftModifier) != 0 ? 10 : 1;
    view.MoveCursorBy(key == Qt::Key_Left ? -steps : steps);
    return true;
}
