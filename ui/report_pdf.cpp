#include "ui/report_pdf.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "data/number_text.h"
#include "data/safe_save.h"
#include "partials/partial_table.h"
#include "ui/report_decay_page.h"
#include "ui/tuning_table.h"

namespace {

// Page coordinates in points (1/72 inch) inside the margins.
constexpr int kResolution = 72;
constexpr double kRow = 11.0;

QString Text(const std::string& text) { return QString::fromStdString(text); }

// Draws `cells` as one row of a table with the given column widths; a cell
// with a valid colour is filled first.
void DrawRow(QPainter& painter, double y, const std::vector<double>& widths, const std::vector<std::string>& cells,
             const std::vector<QColor>& fills = {}) {
    double x = 0.0;
    for (std::size_t c = 0; c < cells.size() && c < widths.size(); ++c) {
        const QRectF cell(x, y, widths[c] - 2.0, kRow);
        if (c < fills.size() && fills[c].isValid()) painter.fillRect(cell, fills[c]);
        painter.drawText(cell, (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, Text(cells[c]));
        x += widths[c];
    }
}

double DrawPartialTable(QPainter& painter, double y, const PartialTable& table) {
    const std::vector<double> widths{30, 90, 70, 80, 80};
    DrawRow(painter, y, widths, {"Row", "Frequency (Hz)", "Cents", "Note", "Partial"});
    for (int row = 0; row < table.count && row < kPartialRows; ++row) {
        const auto r = static_cast<std::size_t>(row);
        const int index = table.partialIndex[r];
        const std::string name = index >= 0 && index < NoPartial ? table.partialNames[static_cast<std::size_t>(index)] : "";
        y += kRow;
        DrawRow(painter, y, widths, {std::to_string(row + 1), FormatDouble15(table.frequency[r]),
                                     FormatDouble15(table.cents[r]), table.note[r], name});
    }
    return y + kRow;
}

// Columns as wide as their widest text; the font shrinks until the table
// fits the page's width.
std::vector<double> FitColumns(QPainter& painter, const std::vector<std::vector<std::string>>& table, double width) {
    QFont font = painter.font();
    for (;;) {
        const QFontMetricsF metrics(font, painter.device());
        std::vector<double> widths(kTuningColumns, 0.0);
        for (const auto& row : table)
            for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c)
                widths[c] = std::max(widths[c], metrics.horizontalAdvance(Text(row[c])) + 6.0);
        double total = 0.0;
        for (const double w : widths) total += w;
        if (total <= width || font.pointSizeF() <= 5.0) {
            painter.setFont(font);
            return widths;
        }
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
}

double DrawTuningRows(QPainter& painter, double y, const std::vector<TuningRow>& rows, double width) {
    std::vector<std::vector<std::string>> table(1);
    for (int c = 0; c < kTuningColumns; ++c) table[0].push_back(TuningColumnTitle(c));
    for (const TuningRow& row : rows) {
        table.emplace_back();
        for (int c = 0; c < kTuningColumns; ++c) table.back().push_back(TuningCell(row, c));
    }
    const QFont font = painter.font();
    const std::vector<double> widths = FitColumns(painter, table, width);
    DrawRow(painter, y, widths, table[0]);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::vector<QColor> fills;
        for (int c = 0; c < kTuningColumns; ++c) fills.push_back(StandingColour(CellStanding(rows[r], c)));
        y += kRow;
        DrawRow(painter, y, widths, table[r + 1], fills);
    }
    painter.setFont(font);
    return y + kRow;
}

// The ticks under the plot, their labels where they do not run into each
// other, and "Hz" at the right.
double DrawAxis(QPainter& painter, double y, double width, const std::vector<AxisTick>& ticks, int columns) {
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double unit = metrics.horizontalAdvance(QStringLiteral("Hz")) + 4.0;
    double freeFrom = 0.0;
    for (const AxisTick& tick : ticks) {
        const double x = width * (tick.column + 0.5) / columns;
        painter.drawLine(QPointF(x, y), QPointF(x, y + 3.0));
        const QString label = Text(tick.label);
        const double labelWidth = metrics.horizontalAdvance(label);
        const double left = std::max(0.0, x - labelWidth / 2);
        if (left < freeFrom || left + labelWidth > width - unit) continue;
        painter.drawText(QRectF(left, y + 3.0, labelWidth, kRow), Qt::AlignCenter, label);
        freeFrom = left + labelWidth + 4.0;
    }
    painter.drawText(QRectF(0, y + 3.0, width, kRow), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Hz"));
    return y + 3.0 + kRow;
}

bool DrawPage(QPdfWriter& writer, const ReportPage& page) {
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    const double width = writer.pageLayout().paintRect(QPageLayout::Point).width();
    DrawReportHeading(painter, QStringLiteral("Campanor tuning report"), 8.0);
    double y = 22.0;
    painter.drawText(QRectF(0, y, width, kRow), Qt::AlignLeft | Qt::AlignVCenter, Text("Made " + page.made));
    if (!page.bellPass.empty()) {
        y += kRow;
        painter.drawText(QRectF(0, y, width, kRow), Qt::AlignLeft | Qt::AlignVCenter, Text(page.bellPass));
    }
    y += kRow;
    painter.drawText(QRectF(0, y, width, kRow), Qt::AlignLeft | Qt::AlignVCenter, Text(page.source));
    for (const std::string& line : page.parameters) {
        y += kRow;
        painter.drawText(QRectF(0, y, width, kRow), Qt::AlignLeft | Qt::AlignVCenter, Text(line));
    }
    y += kRow * 1.5;
    if (!page.spectrum.isNull()) {
        const double height = width * page.spectrum.height() / page.spectrum.width();
        painter.drawImage(QRectF(0, y, width, height), page.spectrum);
        y += height;
        if (page.axisColumns > 0) y = DrawAxis(painter, y, width, page.axis, page.axisColumns);
        y += kRow * 0.5;
    }
    if (page.table != nullptr) y = DrawPartialTable(painter, y, *page.table) + kRow * 0.5;
    painter.drawText(QRectF(0, y, width, kRow), Qt::AlignLeft | Qt::AlignVCenter, Text(page.strike));
    for (const std::string& line : page.warnings) {
        y += kRow;
        painter.drawText(QRectF(0, y, width, kRow), Qt::AlignLeft | Qt::AlignVCenter, Text(line));
    }
    y = DrawTuningRows(painter, y + kRow, page.tuning, width);
    painter.drawText(QRectF(0, y, width, kRow), Qt::AlignLeft | Qt::AlignVCenter, Text(page.status));
    if (!DrawDecayPage(writer, painter, page.decay)) return false;
    return painter.end();
}

}  // namespace

std::string ReportPdfBytes(const ReportPage& page) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return {};
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(40, 40, 40, 40),
                                         QPageLayout::Point));
        writer.setCreator(QStringLiteral("Campanor"));
        writer.setTitle(QStringLiteral("Campanor tuning report"));
        if (!DrawPage(writer, page)) return {};
    }
    return bytes.toStdString();
}

bool WriteReportPdf(const std::string& path, const ReportPage& page) {
    const std::string bytes = ReportPdfBytes(page);
    return !bytes.empty() && SaveBytesSafely(path, bytes);
}
