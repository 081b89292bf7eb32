#include "ui/ring_report_pdf.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "data/safe_save.h"
#include "ui/tuning_table.h"

namespace {

constexpr int kResolution = 72;  // page coordinates in points
constexpr double kRow = 11.0;
constexpr double kPlotHeight = 150.0;

QString Text(const std::string& text) { return QString::fromStdString(text); }

// Draws on pages of one writer, starting a new page where the next piece
// would run past the bottom.
class Pages {
public:
    Pages(QPdfWriter& writer, QPainter& painter) : writer_(writer), painter_(painter) {
        const QRectF paint = writer.pageLayout().paintRect(QPageLayout::Point);
        width = paint.width();
        height_ = paint.height();
    }
    double width = 0.0;
    double y = 0.0;

    // Room for `needed` points below y, on a new page when this one has not.
    bool Room(double needed) {
        if (y + needed <= height_ || y == 0.0) return true;
        y = 0.0;
        return writer_.newPage();
    }
    void Line(const std::string& text, bool bold = false, double size = 8.0) {
        QFont font = painter_.font();
        font.setPointSizeF(size);
        font.setBold(bold);
        painter_.setFont(font);
        const double row = std::max(kRow, size * 1.4);
        Room(row);
        painter_.drawText(QRectF(0, y, width, row), Qt::AlignLeft | Qt::AlignVCenter, Text(text));
        y += row;
    }

private:
    QPdfWriter& writer_;
    QPainter& painter_;
    double height_ = 0.0;
};

// Columns as wide as their widest text, the font shrinking until they fit.
std::vector<double> FitColumns(QPainter& painter, const TextGrid& grid, double width) {
    QFont font = painter.font();
    font.setPointSizeF(8.0);
    font.setBold(false);
    for (;;) {
        const QFontMetricsF metrics(font, painter.device());
        std::vector<double> widths(grid.titles.size(), 0.0);
        const auto widen = [&](std::size_t c, const std::string& text) {
            widths[c] = std::max(widths[c], metrics.horizontalAdvance(Text(text)) + 6.0);
        };
        for (std::size_t c = 0; c < grid.titles.size(); ++c) widen(c, grid.titles[c]);
        for (const auto& row : grid.rows)
            for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) widen(c, row[c].text);
        double total = 0.0;
        for (const double w : widths) total += w;
        if (total <= width || font.pointSizeF() <= 4.0) {
            painter.setFont(font);
            return widths;
        }
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
}

void DrawCells(QPainter& painter, double y, const std::vector<double>& widths, const std::vector<GridCell>& cells) {
    double x = 0.0;
    for (std::size_t c = 0; c < cells.size() && c < widths.size(); ++c) {
        const QRectF cell(x, y, widths[c] - 2.0, kRow);
        const QColor fill = StandingColour(cells[c].standing);
        if (fill.isValid()) painter.fillRect(cell, fill);
        painter.drawText(cell, (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, Text(cells[c].text));
        x += widths[c];
    }
}

void DrawGrid(QPainter& painter, Pages& pages, const TextGrid& grid) {
    const std::vector<double> widths = FitColumns(painter, grid, pages.width);
    std::vector<GridCell> titles;
    for (const std::string& title : grid.titles) titles.push_back({title});
    pages.Room(2 * kRow);
    DrawCells(painter, pages.y, widths, titles);
    pages.y += kRow;
    for (const auto& row : grid.rows) {
        if (!pages.Room(kRow)) return;
        if (pages.y == 0.0) {  // a new page: the titles again
            DrawCells(painter, pages.y, widths, titles);
            pages.y += kRow;
        }
        DrawCells(painter, pages.y, widths, row);
        pages.y += kRow;
    }
    pages.y += kRow / 2;
}

bool DrawReport(QPdfWriter& writer, const RingReport& report) {
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    Pages pages(writer, painter);
    pages.Line("Campanor ring report", true, 13.0);
    pages.Line(report.title, true, 9.0);
    for (const std::string& line : report.lines) pages.Line(line);
    pages.y += kRow / 2;
    pages.Line("Outer and inner tuning, treble to tenor", true);
    DrawGrid(painter, pages, report.ring);
    for (const RingReportBell& bell : report.bells) {
        pages.Room(4 * kRow + static_cast<double>(bell.history.rows.size()) * kRow + kPlotHeight);
        pages.Line(bell.title, true, 9.0);
        DrawGrid(painter, pages, bell.history);
        pages.Room(kPlotHeight);
        QFont font = painter.font();
        font.setPointSizeF(6.0);
        painter.setFont(font);
        HistoryPlot::Draw(painter, QRectF(0, pages.y, pages.width, kPlotHeight), bell.curves);
        pages.y += kPlotHeight + kRow;
    }
    return painter.end();
}

}  // namespace

std::string RingReportPdfBytes(const RingReport& report) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return {};
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(36, 36, 36, 36),
                                         QPageLayout::Point));
        writer.setCreator(QStringLiteral("Campanor"));
        writer.setTitle(QStringLiteral("Campanor ring report"));
        if (!DrawReport(writer, report)) return {};
    }
    return bytes.toStdString();
}

bool WriteRingReportPdf(const std::string& path, const RingReport& report) {
    const std::string bytes = RingReportPdfBytes(report);
    return !bytes.empty() && SaveBytesSafely(path, bytes);
}
