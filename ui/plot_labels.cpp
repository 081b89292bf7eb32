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
        const int top = ColumnBarTop(spectrum, window, column, height) - kGap - size.height();
        QRect rect(column - size.width() / 2, top, size.width(), size.height());
        if (top < 1) rect.moveTo(column + kGap + 1, 1);
        if (rect.left() < 1 || rect.right() > width - 2 || rect.bottom() > height - 2) continue;
        const QRect spaced = rect.adjusted(-kGap, 0, kGap, 0);
        if (std::any_of(labels.begin(), labels.end(), [&](const PlotLabel& l) { return l.rect.intersects(spaced); })) {
            continue;
        }
        labels.push_back({text, rect});
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
}
