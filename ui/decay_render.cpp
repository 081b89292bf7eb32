#include "ui/decay_render.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPaintEngine>
#include <QPolygonF>
#include <algorithm>

#include "tuning/tuning_text.h"
#include "tuning/decay_curves.h"
#include "ui/decay_geometry.h"

namespace {

QString Number(double value, int decimals) { return QString::fromStdString(FixedText(value, decimals)); }

QString LegendText(const DecayCurve& c, bool single) {
    QString text = QString::fromStdString(c.name) + "  T60 " +
                   (c.t60Seconds ? Number(*c.t60Seconds, *c.t60Seconds < 10.0 ? 2 : 1) + " s" : QString("-"));
    if (single) text += "  " + Number(c.frequencyHz, 2) + " Hz";
    if (c.irregular) text += "  (beats)";
    return text;
}

void DrawGrid(QPainter& painter, const QRectF& plot, const DecayAxes& axes, double textHeight) {
    painter.setPen(QPen(QColor(225, 225, 225), 0));
    painter.setRenderHint(QPainter::Antialiasing, false);
    const std::vector<double> times = RoundTicks(axes.fromSeconds, axes.toSeconds, std::max(2, static_cast<int>(plot.width() / 60.0)));
    for (const double t : times) {
        const double x = SecondsX(t, axes, plot.left(), plot.width());
        painter.setPen(QPen(QColor(225, 225, 225), 0));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x - 40.0, plot.bottom() + 2.0, 80.0, textHeight), Qt::AlignHCenter | Qt::AlignTop,
                         Number(t, TickDecimals(times)));
    }
    for (const double db : RoundTicks(axes.bottomDb, axes.topDb, std::max(2, static_cast<int>(plot.height() / (2.5 * textHeight))))) {
        const double y = DbY(db, axes, plot.top(), plot.height());
        painter.setPen(QPen(QColor(225, 225, 225), 0));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(plot.left() - 64.0, y - textHeight / 2.0, 60.0, textHeight),
                         Qt::AlignRight | Qt::AlignVCenter, Number(db, 0));
    }
    painter.setPen(QPen(Qt::black, 0));
    painter.drawRect(plot);
    painter.drawText(QRectF(plot.right() - 60.0, plot.bottom() + 2.0 + textHeight, 60.0, textHeight),
                     Qt::AlignRight | Qt::AlignTop, QStringLiteral("s"));
    painter.drawText(QRectF(plot.left() - 64.0, plot.top() - textHeight - 2.0, 60.0, textHeight),
                     Qt::AlignRight | Qt::AlignBottom, QStringLiteral("dB"));
}

// A polyline `width` wide. The raster engine strokes a wide antialiased
// line of thousands of points slowly (about 20 ms at 4K), a hairline fast:
// on pixels it is drawn as parallel hairlines a physical pixel apart (these
// curves are shallow, so that looks the same); on paper with a real pen.
void DrawThickPolyline(QPainter& painter, const QPolygonF& line, const QColor& colour, double width) {
    if (painter.paintEngine() == nullptr || painter.paintEngine()->type() != QPaintEngine::Raster) {
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(line);
        return;
    }
    const double ratio = painter.device()->devicePixelRatioF();
    const int passes = std::max(1, static_cast<int>(width * ratio + 0.5));
    QPen pen(colour, 0.0);
    pen.setCosmetic(true);
    painter.setPen(pen);
    for (int k = 0; k < passes; ++k) painter.drawPolyline(line.translated(0.0, (k - (passes - 1) / 2.0) / ratio));
}

void DrawCurve(QPainter& painter, const QRectF& plot, const DecayAxes& axes, const DecayCurve& c, bool single,
               double lineWidth) {
    const QColor colour = DecayColour(c.partialIndex);
    QPolygonF line;
    line.reserve(static_cast<qsizetype>(c.timesSeconds.size()));
    for (std::size_t i = 0; i < c.timesSeconds.size(); ++i) {
        // Silence drawn just under the plot, so the line drops out of sight.
        const double db = std::max(c.levelsDb[i], axes.bottomDb - 10.0);
        line << QPointF(SecondsX(c.timesSeconds[i], axes, plot.left(), plot.width()), DbY(db, axes, plot.top(), plot.height()));
    }
    DrawThickPolyline(painter, line, colour, lineWidth);
    if (c.fitted) {
        painter.setPen(QPen(colour.darker(150), lineWidth, Qt::DashLine));
        painter.drawLine(QPointF(SecondsX(c.lineFromSeconds, axes, plot.left(), plot.width()),
                                 DbY(c.LineDbAt(c.lineFromSeconds), axes, plot.top(), plot.height())),
                         QPointF(SecondsX(c.lineToSeconds, axes, plot.left(), plot.width()),
                                 DbY(c.LineDbAt(c.lineToSeconds), axes, plot.top(), plot.height())));
    }
    if (single) {
        const double y = DbY(c.noiseDb, axes, plot.top(), plot.height());
        painter.setPen(QPen(QColor(120, 120, 120), lineWidth * 0.75, Qt::DotLine));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
}

// The legend's entries flow in lines across the top of the area: a swatch
// of the curve's colour and its text each. Returns the height taken.
double DrawLegend(QPainter& painter, const QRectF& area, const std::vector<const DecayCurve*>& curves,
                  double textHeight) {
    const QFontMetricsF metrics(painter.font());
    const double swatch = 1.6 * textHeight, gap = textHeight;
    double x = area.left(), y = area.top();
    for (const DecayCurve* c : curves) {
        const QString text = LegendText(*c, curves.size() == 1);
        const double width = swatch + 4.0 + metrics.horizontalAdvance(text);
        if (x > area.left() && x + width > area.right()) {
            x = area.left();
            y += textHeight;
        }
        painter.setPen(QPen(DecayColour(c->partialIndex), textHeight / 5.0));
        painter.drawLine(QPointF(x, y + textHeight / 2.0), QPointF(x + swatch, y + textHeight / 2.0));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x + swatch + 4.0, y, width, textHeight), Qt::AlignLeft | Qt::AlignVCenter, text);
        x += width + gap;
    }
    return curves.empty() ? 0.0 : y + textHeight - area.top();
}

}  // namespace

QColor DecayColour(int partialIndex) {
    // Hum ... quint in the order of partials/partial.h: seven hues far apart.
    static const QColor kColours[7] = {QColor(31, 119, 180), QColor(255, 127, 14), QColor(44, 160, 44), QColor(214, 39, 40),
                                       QColor(148, 103, 189), QColor(140, 86, 75), QColor(227, 119, 194)};
    return partialIndex >= 0 && partialIndex < 7 ? kColours[partialIndex] : QColor(127, 127, 127);
}

void DrawDecayPlot(QPainter& painter, const QRectF& area, const std::vector<const DecayCurve*>& curves,
                   const QString& title) {
    painter.save();
    painter.fillRect(area, Qt::white);
    const double textHeight = QFontMetricsF(painter.font()).height();
    double top = area.top() + 0.6 * textHeight;
    if (!title.isEmpty()) {
        painter.setPen(Qt::black);
        painter.drawText(QRectF(area.left(), area.top(), area.width(), textHeight), Qt::AlignHCenter | Qt::AlignTop, title);
        top += textHeight;
    }
    const double left = area.left() + QFontMetricsF(painter.font()).horizontalAdvance(QStringLiteral("-100")) + 10.0;
    top += DrawLegend(painter, QRectF(left + 6.0, top - 0.4 * textHeight, area.right() - left - 6.0, area.height()), curves, textHeight);
    const QRectF plot(left, top, std::max(1.0, area.right() - 8.0 - left),
                      std::max(1.0, area.bottom() - 2.3 * textHeight - top));
    const DecayAxes axes = FitDecayAxes(curves);
    DrawGrid(painter, plot, axes, textHeight);
    painter.setClipRect(plot);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double lineWidth = std::max(1.0, textHeight / 9.0);
    for (const DecayCurve* c : curves) DrawCurve(painter, plot, axes, *c, curves.size() == 1, lineWidth);
    painter.restore();
}
