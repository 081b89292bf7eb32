#include "ui/spectrogram_view.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "tuning/tuning_text.h"
#include "ui/decay_geometry.h"
#include "ui/spectrogram_geometry.h"
#include "ui/spectrum_geometry.h"

SpectrogramView::SpectrogramView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 60);
    setMouseTracking(true);
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
    // The renderer's ticks are max(6, W / 80) physical pixels long.
    const double ratio = devicePixelRatioF();
    const int tick = TruncToInt(std::max(6, TruncToInt(width() * ratio) / 80) / ratio) + 3;
    // Names beside their ticks; one that would touch another placed moves right past it.
    std::vector<QRect> placed;
    painter.setPen(Qt::white);
    for (std::size_t i = 0; i < picture->marks.partialsHz.size() && i < picture->partialNames.size(); ++i) {
        const int y = FrequencyRow(picture->marks.partialsHz[i], window.lowHz, window.highHz, height());
        if (y < 0 || y >= height()) continue;
        const QString text = QString::fromStdString(picture->partialNames[i]);
        QRect box(tick, std::max(0, y - metrics.height()), metrics.horizontalAdvance(text) + 4, metrics.height());
        for (bool moved = true; moved;) {
            moved = false;
            for (const QRect& other : placed) {
                if (box.intersects(other)) box.moveLeft(other.right() + 6), moved = true;
            }
        }
        placed.push_back(box);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignBottom, text);
    }
    DrawAxes(painter, metrics);
    const auto name = [&](double seconds, const QString& text, const QColor& colour) {
        const int x = SecondsColumn(seconds, width(), window.durationSeconds);
        if (seconds < 0.0 || x < 0 || x >= width()) return;
        painter.setPen(colour);
        painter.drawText(QPoint(std::min(x + 3, width() - metrics.horizontalAdvance(text) - 2), height() - metrics.descent() - 2), text);
    };
    name(picture->marks.strikeSeconds, QStringLiteral("strike"), Qt::white);
    name(picture->marks.secondStrikeSeconds, QStringLiteral("struck again"), QColor(255, 140, 0));
}

void SpectrogramView::DrawAxes(QPainter& painter, const QFontMetrics& metrics) const {
    // Seconds along the top, hertz down the right edge, in light grey.
    painter.setPen(QColor(220, 220, 220));
    const std::vector<double> times = RoundTicks(0.0, window.durationSeconds, std::max(2, width() / 90));
    for (const double t : times) {
        const int x = SecondsColumn(t, width(), window.durationSeconds);
        if (x <= 0 || x >= width() - 20) continue;
        painter.drawLine(x, 0, x, 4);
        painter.drawText(QPoint(x + 2, metrics.ascent() + 1), QString::fromStdString(FixedText(t, TickDecimals(times))) + " s");
    }
    const std::vector<double> bands = RoundTicks(window.lowHz, window.highHz, std::max(2, height() / (3 * metrics.height())));
    for (const double hz : bands) {
        const int y = FrequencyRow(hz, window.lowHz, window.highHz, height());
        if (y < metrics.height() || y >= height() - metrics.height()) continue;
        const QString text = QString::fromStdString(FixedText(hz, TickDecimals(bands))) + " Hz";
        painter.drawLine(width() - 4, y, width() - 1, y);
        painter.drawText(QPoint(width() - metrics.horizontalAdvance(text) - 6, y + metrics.ascent() / 2), text);
    }
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

std::string SpectrogramView::ReadoutAt(const QPoint& point) const {
    if (!picture || picture->spectrogram.frames < 1 || !rect().contains(point)) return {};
    const Spectrogram& s = picture->spectrogram;
    const double seconds = ColumnSeconds(point.x(), width(), window.durationSeconds);
    const double hz = RowFrequency(point.y(), window.lowHz, window.highHz, height());
    const int bin = std::clamp(TruncToInt(std::floor(hz / s.BinHz() + 0.5)), s.firstBin, s.firstBin + s.bins - 1);
    const float level = s.At(bin, FrameAtSeconds(s, seconds));
    return FixedText(seconds, 3) + " s  " + FixedText(hz, 1) + " Hz  " +
           (level > kSilenceDb ? FixedText(level, 1) + " dB" : std::string("silence"));
}

void SpectrogramView::mouseMoveEvent(QMouseEvent* event) {
    const std::string text = ReadoutAt(event->position().toPoint());
    if (text.empty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(event->globalPosition().toPoint(), QString::fromStdString(text), this);
    }
    event->accept();
}
