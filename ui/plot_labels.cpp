#include "ui/plot_labels.h"

#include <QPainter>
#include <algorithm>

#include "analysis/spectrum.h"
#include "partials/partial_table.h"
#include "ui/spectrum_geometry.h"

namespace {

// Gap between a name and its bar, and the least space kept between names.
constexpr int kGap = 2;

}  // namespace

namespace {

bool Free(const std::vector<PlotLabel>& labels, const QRect& rect) {
    const QRect spaced = rect.adjusted(-kGap, 0, kGap, 0);
    return std::none_of(labels.begin(), labels.end(), [&](const PlotLabel& l) { return l.rect.intersects(spaced); });
}

// The first free place for `natural` in the plot: itself, then a row at a
// time above it, then a row at a time down from the top. `natural` itself
// when every row is taken, so that no name is ever dropped.
QRect FreePlace(const std::vector<PlotLabel>& labels, const QRect& natural, int height) {
    if (Free(labels, natural)) return natural;
    const int row = natural.height() + kGap;
    for (QRect up = natural.translated(0, -row); up.top() >= 1; up.translate(0, -row)) {
        if (Free(labels, up)) return up;
    }
    for (QRect down(natural.left(), 1, natural.width(), natural.height()); down.bottom() <= height - 2;
         down.translate(0, row)) {
        if (down.top() != natural.top() && Free(labels, down)) return down;
    }
    return natural;
}

}  // namespace

std::vector<PlotLabel> PlacePartialLabels(const Spectrum& spectrum, const PartialTable& table,
                                          const PlotWindow& window, int width, int height,
                                          const std::function<QSize(const std::string&)>& textSize) {
    std::vector<PlotLabel> labels;
    if (!(spectrum.interval > 0.0) || window.binsPerPixel < 1) {
        return labels;
    }
    const int ppp = std::max(1, window.pixelsPerPoint);
    for (int row = 0; row < table.count && row < kPartialRows; ++row) {
        const auto r = static_cast<std::size_t>(row);
        const int partial = table.partialIndex[r];
        if (partial < 0 || partial >= NoPartial) continue;
        const int point = PointAtFrequency(table.frequency[r], spectrum.startFrequency, spectrum.interval);
        const int column = PointColumn(point, window.firstBin, window.binsPerPixel, ppp) + ppp / 2;
        if (point < window.firstBin || point > spectrum.steps || column > width - 2) continue;
        const std::string& text = table.partialNames[static_cast<std::size_t>(partial)];
        const QSize size = textSize(text);
        if (size.width() > width - 2 || size.height() > height - 2) continue;  // a plot too small for any name
        const int barTop = ColumnBarTop(spectrum, window, column, height);
        const int top = barTop - kGap - size.height();
        QRect rect(column - size.width() / 2, top, size.width(), size.height());
        if (top < 1) rect.moveTo(column + kGap + 1, 1);
        rect.moveLeft(std::clamp(rect.left(), 1, width - 2 - size.width() + 1));
        const QRect placed = FreePlace(labels, rect, height);
        PlotLabel label{text, placed, false, {}};
        if (placed.top() != rect.top()) {
            label.leader = true;
            label.leaderTo = QPoint(column, std::max(barTop - 1, 0));
        }
        labels.push_back(label);
    }
    return labels;
}

void DrawPlotLabels(QPainter& painter, const std::vector<PlotLabel>& labels, double pixelRatio) {
    painter.setPen(Qt::black);
    const double scale = pixelRatio > 0.0 ? 1.0 / pixelRatio : 1.0;
    for (const PlotLabel& label : labels) {
        const QRectF r(label.rect.x() * scale, label.rect.y() * scale, label.rect.width() * scale,
                       label.rect.height() * scale);
        painter.drawText(r, Qt::AlignCenter | Qt::TextDontClip, QString::fromStdString(label.text));
    }
    painter.setPen(Qt::darkGray);
    for (const PlotLabel& label : labels) {
        if (!label.leader) continue;
        // From the middle of the name's edge that faces the bar.
        const bool above = label.rect.bottom() < label.leaderTo.y();
        const QPointF from(label.rect.center().x() * scale, (above ? label.rect.bottom() + 1 : label.rect.top()) * scale);
        painter.drawLine(from, QPointF(label.leaderTo.x() * scale, label.leaderTo.y() * scale));
    }
}
