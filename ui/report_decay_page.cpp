#include "ui/report_decay_page.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include "tuning/decay_curves.h"
#include "ui/decay_render.h"

void DrawReportHeading(QPainter& painter, const QString& heading, double bodyPoints) {
    QFont font = painter.font();
    font.setPointSizeF(13.0);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QPointF(0, 14), heading);
    font.setPointSizeF(bodyPoints);
    font.setBold(false);
    painter.setFont(font);
}

bool DrawDecayPage(QPdfWriter& writer, QPainter& painter, const std::vector<DecayCurve>& curves) {
    if (curves.empty()) return true;
    if (!writer.newPage()) return false;
    painter.save();
    const QRectF page = writer.pageLayout().paintRect(QPageLayout::Point);
    const double width = page.width();
    DrawReportHeading(painter, QStringLiteral("Decay of the partials"), 7.0);
    // Two plots a row, as many rows as the page holds for seven partials.
    constexpr int kColumns = 2;
    const double gap = 12.0, top = 26.0;
    const double cellWidth = (width - gap) / kColumns;
    const int rows = (static_cast<int>(curves.size()) + kColumns - 1) / kColumns;
    const double cellHeight = std::min(cellWidth * 0.7, (page.height() - top) / std::max(rows, 4) - gap);
    for (std::size_t i = 0; i < curves.size(); ++i) {
        const double x = static_cast<double>(i % kColumns) * (cellWidth + gap);
        const double y = top + static_cast<double>(i / kColumns) * (cellHeight + gap);
        DrawDecayPlot(painter, QRectF(x, y, cellWidth, cellHeight), {&curves[i]}, QString::fromStdString(curves[i].name));
    }
    painter.restore();
    return true;
}
