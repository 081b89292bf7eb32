#include "ui/history_plot.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

HistoryPlot::HistoryPlot(QWidget* parent) : QWidget(parent) {
    setMinimumSize(160, 60);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void HistoryPlot::SetCurves(std::vector<Curve> curves) {
    curves_ = std::move(curves);
    update();
}

double HistoryPlot::XOf(double cents, double width) {
    return std::clamp((cents - kFromCents) / (kToCents - kFromCents), 0.0, 1.0) * width;
}

double HistoryPlot::YOf(double db, double height) {
    return std::clamp(db / kFloorDb, 0.0, 1.0) * height;
}

QColor HistoryPlot::PassColour(std::size_t index) {
    static const QColor colours[] = {QColor(31, 119, 180), QColor(255, 127, 14), QColor(44, 160, 44),
                                     QColor(214, 39, 40),  QColor(148, 103, 189), QColor(140, 86, 75),
                                     QColor(227, 119, 194), QColor(127, 127, 127), QColor(188, 189, 34),
                                     QColor(23, 190, 207)};
    return colours[index % (sizeof colours / sizeof colours[0])];
}

void HistoryPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    Draw(painter, QRectF(rect()), curves_);
}

void HistoryPlot::Draw(QPainter& painter, const QRectF& frame, const std::vector<Curve>& curves) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double text = QFontMetricsF(painter.font()).height();
    const QRectF area = frame.adjusted(2, 2, -2, -text - 2);
    for (double cents = -2400.0; cents <= kToCents; cents += 1200.0) {
        const double x = area.left() + XOf(cents, area.width());
        painter.setPen(QColor(200, 200, 200));
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        painter.setPen(Qt::black);
        painter.drawText(QPointF(x + 2, area.bottom() + text), QString::number(static_cast<int>(cents)));
    }
    for (std::size_t i = 0; i < curves.size(); ++i) {
        const std::vector<double>& levels = curves[i].levelsDb;
        if (levels.size() < 2) continue;
        QPainterPath path;
        for (std::size_t k = 0; k < levels.size(); ++k) {
            const double cents = kFromCents + (kToCents - kFromCents) * static_cast<double>(k) / (levels.size() - 1);
            const QPointF p(area.left() + XOf(cents, area.width()), area.top() + YOf(levels[k], area.height()));
            if (k == 0) path.moveTo(p); else path.lineTo(p);
        }
        painter.setPen(QPen(PassColour(i), 1.0));
        painter.drawPath(path);
        painter.drawText(QPointF(area.right() - 8 * text, area.top() + text * (static_cast<double>(i) + 1)),
                         QString::fromStdString(curves[i].pass));
    }
    painter.restore();
}
