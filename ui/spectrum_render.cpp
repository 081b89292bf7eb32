#include "ui/spectrum_render.h"

#include <QPainter>
#include <algorithm>

#include "analysis/spectrum.h"
#include "partials/partial_table.h"
#include "ui/spectrum_geometry.h"

namespace {

QPen SolidPen(int red, int green, int blue) {
    QPen pen(QColor(red, green, blue));
    pen.setWidth(1);
    pen.setStyle(Qt::SolidLine);
    pen.setCapStyle(Qt::SquareCap);
    return pen;
}

// A pen "line to" along a row or a column: it covers `from` and stops one
// pixel short of `to`, so consecutive segments never overdraw their joints
// and a segment of length zero draws nothing. Pixels outside the image are
// cut off here rather than left to the painter, so that what lands in the
// image does not depend on how the painter clips lines.
class PenCursor {
public:
    PenCursor(QPainter& painter, int width, int height)
        : painter(painter), width(width), height(height) {}

    void MoveTo(int x, int y) { current = QPoint(x, y); }

    void LineTo(int x, int y) {
        const QPoint from = current;
        current = QPoint(x, y);
        if (from == current) {
            return;
        }
        const int stepX = (x > from.x()) - (x < from.x());
        const int stepY = (y > from.y()) - (y < from.y());
        // Only rows and columns are drawn here; the last pixel is the one
        // before the end point.
        const QPoint last(x - stepX, y - stepY);
        const int x0 = std::max(std::min(from.x(), last.x()), 0);
        const int x1 = std::min(std::max(from.x(), last.x()), width - 1);
        const int y0 = std::max(std::min(from.y(), last.y()), 0);
        const int y1 = std::min(std::max(from.y(), last.y()), height - 1);
        if (x0 > x1 || y0 > y1) {
            return;
        }
        if (x0 == x1 && y0 == y1) {
            painter.drawPoint(x0, y0);
        } else {
            painter.drawLine(x0, y0, x1, y1);
        }
    }

private:
    QPainter& painter;
    int width;
    int height;
    QPoint current;
};

void DrawBorder(QPainter& painter, PenCursor& pen, const PlotPens& pens, int width, int height) {
    painter.setPen(pens.black);
    pen.MoveTo(0, 0);
    pen.LineTo(width - 1, 0);
    pen.LineTo(width - 1, height - 1);
    pen.LineTo(0, height - 1);
    pen.LineTo(0, 0);
}

struct ColumnFacts {
    bool cursor = false;
    bool partial = false;
    int top = 0;  // y where the bar ends
};

ColumnFacts DescribeColumn(int column, const Spectrum& spectrum, const PartialTable& table,
                           const PlotWindow& window, int height) {
    const int bpp = window.binsPerPixel;
    const int s = ColumnFirstPoint(column, window.firstBin, bpp, window.pixelsPerPoint);
    ColumnFacts facts;
    facts.cursor = window.cursorBin <= s && static_cast<long long>(s) <
                                                static_cast<long long>(window.cursorBin) + bpp;
    const double lo = spectrum.startFrequency + s * spectrum.interval;
    const double hi = spectrum.startFrequency + (static_cast<double>(s) + bpp) * spectrum.interval;
    facts.partial = table.HasPeakIn(lo, hi);
    facts.top = ColumnBarTop(spectrum, window, column, height);
    return facts;
}

void DrawColumn(QPainter& painter, PenCursor& pen, const PlotPens& pens, int x,
                const ColumnFacts& facts, int height) {
    pen.MoveTo(x, height);
    if (!facts.cursor) {
        if (facts.partial) {
            painter.setPen(pens.red);
        }
        pen.LineTo(x, facts.top);
    } else {
        painter.setPen(facts.partial ? pens.cyan : pens.black);
        pen.LineTo(x, facts.top);
        painter.setPen(pens.green);
        pen.LineTo(x, 0);
    }
    painter.setPen(pens.blue);
}

}  // namespace

int ColumnBarTop(const Spectrum& spectrum, const PlotWindow& window, int column, int height) {
    const int s = ColumnFirstPoint(column, window.firstBin, window.binsPerPixel, window.pixelsPerPoint);
    const double peak = ColumnPeak(spectrum.Points(), spectrum.steps, s, window.binsPerPixel);
    return window.decibels ? DecibelBarTop(peak, spectrum.maxMagnitude, height)
                           : BarTop(peak, window.verticalScale, height);
}

PlotPens MakePlotPens() {
    return PlotPens{SolidPen(0, 0, 0), SolidPen(0, 0, 255), SolidPen(0, 255, 255),
                    SolidPen(0, 255, 0), SolidPen(255, 0, 0)};
}

void RenderSpectrum(QImage& image, const Spectrum& spectrum, const PartialTable& table,
                    const PlotWindow& window, const PlotPens& pens) {
    const int width = image.width();
    const int height = image.height();
    if (width < 1 || height < 1) {
        return;
    }
    PlotWindow safe = window;
    safe.binsPerPixel = std::max(1, window.binsPerPixel);
    safe.pixelsPerPoint = std::max(1, window.pixelsPerPoint);

    // One column per physical pixel: the painter works in the image's own
    // pixels, whatever device pixel ratio it carries for the screen.
    const qreal ratio = image.devicePixelRatio();
    image.setDevicePixelRatio(1.0);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(0, 0, width, height, kPlotBackground);

    PenCursor pen(painter, width, height);
    DrawBorder(painter, pen, pens, width, height);
    painter.setPen(pens.blue);
    for (int x = 0; x <= width - 2; ++x) {
        DrawColumn(painter, pen, pens, x, DescribeColumn(x, spectrum, table, safe, height), height);
    }
    painter.end();
    image.setDevicePixelRatio(ratio);
}

QImage RenderSpectrumImage(const Spectrum& spectrum, const PartialTable& table,
                           const PlotWindow& window, int width, int height) {
    if (width < 1 || height < 1) {
        return QImage();
    }
    QImage image(width, height, QImage::Format_RGB32);
    RenderSpectrum(image, spectrum, table, window, MakePlotPens());
    return image;
}
