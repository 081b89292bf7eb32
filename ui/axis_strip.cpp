#include "ui/axis_strip.h"

#include <QPainter>
#include <algorithm>

#include "analysis/spectrum.h"
#include "ui/spectrum_view.h"

AxisStrip::AxisStrip(const SpectrumView& view, const Spectrum& spectrum, QWidget* parent)
    : QWidget(parent), view(view), spectrum(spectrum) {}

AxisSpan AxisStrip::Span() const {
    return AxisSpan{spectrum.startFrequency, spectrum.interval, view.firstBin, view.binsPerPixel,
                    view.pixelsPerPoint, view.plotRect.Width()};
}

void AxisStrip::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const double ratio = view.pixelRatio;
    const int tickLength = std::max(1, static_cast<int>(3 * ratio));
    const QFontMetrics metrics(font());
    const int unitWidth = metrics.horizontalAdvance(QStringLiteral("Hz")) + 4;
    const int spacing = static_cast<int>(kMinLabelSpacing * ratio);
    int freeFrom = 0;  // logical x where the next label may start
    for (const AxisTick& tick : AxisTicks(Span(), spacing)) {
        // Ticks in physical pixels so they are one crisp pixel wide at any
        // scaling; labels in logical coordinates.
        painter.save();
        painter.scale(1.0 / ratio, 1.0 / ratio);
        painter.setPen(QPen(Qt::black, 0));
        painter.drawLine(tick.column, 0, tick.column, tickLength - 1);
        painter.restore();
        const QString text = QString::fromStdString(tick.label);
        const int textWidth = metrics.horizontalAdvance(text);
        const int left = std::max(0, static_cast<int>(tick.column / ratio) - textWidth / 2);
        if (left < freeFrom || left + textWidth > width() - unitWidth) continue;
        painter.drawText(QRect(left, 0, textWidth, height()), Qt::AlignHCenter | Qt::AlignBottom, text);
        freeFrom = left + textWidth + 4;
    }
    painter.drawText(rect(), Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Hz"));
}
