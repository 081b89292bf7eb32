#include "ui/spectrogram_view.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "ui/spectrogram_geometry.h"
#include "ui/spectrum_geometry.h"

SpectrogramView::SpectrogramView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 60);
}

void SpectrogramView::SetPicture(std::shared_ptr<const SpectrogramPicture> newPicture) {
    picture = std::move(newPicture);
    if (picture) window.durationSeconds = picture->durationSeconds;
    dirty = true;
    update();
}

void SpectrogramView::SetBand(double lowHz, double highHz) {
    if (!(highHz > lowHz) || (lowHz == window.lowHz && highHz == window.highHz)) return;
    window.lowHz = lowHz;
    window.highHz = highHz;
    dirty = true;
    update();
}

void SpectrogramView::Render() {
    const double ratio = devicePixelRatioF();
    const QSize pixels(std::max(1, TruncToInt(width() * ratio)), std::max(1, TruncToInt(height() * ratio)));
    if (!dirty && image.size() == pixels && image.devicePixelRatio() == ratio) return;
    if (image.size() != pixels) image = QImage(pixels, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    if (picture) {
        RenderSpectrogram(image, picture->spectrogram, picture->indices, window, picture->marks);
    } else {
        image.fill(QColor(SpectrogramColour(0)));
    }
    dirty = false;
}

void SpectrogramView::DrawNames(QPainter& painter) const {
    const QFontMetrics metrics(font());
    const int tick = std::max(6, TruncToInt(width() / 80.0 * 1.0)) + 3;
    painter.setPen(Qt::white);
    for (std::size_t i = 0; i < picture->marks.partialsHz.size() && i < picture->partialNames.size(); ++i) {
        const int y = FrequencyRow(picture->marks.partialsHz[i], window.lowHz, window.highHz, height());
        if (y < 0 || y >= height()) continue;
        painter.drawText(QPoint(tick, std::max(metrics.ascent(), y - 2)), QString::fromStdString(picture->partialNames[i]));
    }
    const auto name = [&](double seconds, const QString& text, const QColor& colour) {
        const int x = SecondsColumn(seconds, width(), window.durationSeconds);
        if (seconds < 0.0 || x < 0 || x >= width()) return;
        painter.setPen(colour);
        painter.drawText(QPoint(std::min(x + 3, width() - metrics.horizontalAdvance(text) - 2), height() - metrics.descent() - 2), text);
    };
    name(picture->marks.strikeSeconds, QStringLiteral("strike"), Qt::white);
    name(picture->marks.secondStrikeSeconds, QStringLiteral("struck again"), QColor(255, 140, 0));
}

void SpectrogramView::paintEvent(QPaintEvent* /*event*/) {
    Render();
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), image);
    painter.setFont(font());
    if (!picture) {
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("No recording to show: strike the bell or analyse a sound file."));
        return;
    }
    DrawNames(painter);
}

void SpectrogramView::mousePressEvent(QMouseEvent* event) { event->accept(); }
