#include "ui/decay_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/decay_render.h"

DecayView::DecayView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 60);
}

void DecayView::SetCurves(std::vector<DecayCurve> newCurves) {
    curves = std::move(newCurves);
    bool held = false;
    for (const DecayCurve& c : curves) held = held || c.partialIndex == selected;
    if (!held) selected = -1;
    update();
}

void DecayView::SelectPartial(int partialIndex) {
    selected = -1;
    for (const DecayCurve& c : curves) {
        if (c.partialIndex == partialIndex) selected = partialIndex;
    }
    update();
}

std::vector<const DecayCurve*> DecayView::Shown() const {
    std::vector<const DecayCurve*> shown;
    for (const DecayCurve& c : curves) {
        if (selected < 0 || c.partialIndex == selected) shown.push_back(&c);
    }
    return shown;
}

void DecayView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setFont(font());
    if (curves.empty()) {
        painter.fillRect(rect(), Qt::white);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("No decay to show: strike the bell or analyse a sound file."));
        return;
    }
    DrawDecayPlot(painter, QRectF(rect()), Shown());
}

void DecayView::mousePressEvent(QMouseEvent* event) { event->accept(); }
