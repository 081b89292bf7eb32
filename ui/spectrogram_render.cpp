#include "ui/spectrogram_render.h"

#include <QPainter>
#include <algorithm>
#include <array>

#include "analysis/spectrogram.h"
#include "ui/spectrogram_geometry.h"

namespace {

// The frame each column shows, -1 past the recording's end.
std::vector<int> ColumnFrames(const Spectrogram& s, const SpectrogramWindow& window, int width) {
    std::vector<int> frames(static_cast<std::size_t>(width), -1);
    const double endSeconds = s.lengthSamples / s.rateHz;
    for (int x = 0; x < width; ++x) {
        const double t = ColumnSeconds(x, width, window.durationSeconds);
        if (s.frames > 0 && t < endSeconds) frames[static_cast<std::size_t>(x)] = FrameAtSeconds(s, t);
    }
    return frames;
}

void FillRow(std::uint32_t* row, const std::vector<int>& frames, const std::uint8_t* first, int binCount,
             int stride, const std::array<std::uint32_t, kSpectrogramColours>& palette) {
    const int width = static_cast<int>(frames.size());
    for (int x = 0; x < width; ++x) {
        const int f = frames[static_cast<std::size_t>(x)];
        if (f < 0) {
            row[x] = palette[0];
            continue;
        }
        std::uint8_t best = first[f];
        for (int b = 1; b < binCount; ++b) best = std::max(best, first[static_cast<std::size_t>(b) * stride + f]);
        row[x] = palette[best];
    }
}

void DrawMarks(QImage& image, const SpectrogramWindow& window, const SpectrogramMarks& marks) {
    const int width = image.width(), height = image.height();
    QPainter painter(&image);
    const int tick = std::max(6, width / 80);
    for (const double hz : marks.partialsHz) {
        const int y = FrequencyRow(hz, window.lowHz, window.highHz, height);
        if (y < 0 || y >= height) continue;
        painter.setPen(QColor(255, 255, 255, 70));
        painter.drawLine(tick, y, width - tick - 1, y);
        painter.setPen(QColor(255, 255, 255));
        painter.drawLine(0, y, tick - 1, y);
        painter.drawLine(width - tick, y, width - 1, y);
    }
    const auto mark = [&](double seconds, const QColor& colour) {
        const int x = SecondsColumn(seconds, width, window.durationSeconds);
        if (seconds < 0.0 || x < 0 || x >= width) return;
        painter.setPen(QPen(colour, std::max(1, width / 1200), Qt::DashLine));
        painter.drawLine(x, 0, x, height - 1);
    };
    mark(marks.strikeSeconds, QColor(255, 255, 255));
    mark(marks.secondStrikeSeconds, QColor(255, 140, 0));
}

}  // namespace

void RenderSpectrogram(QImage& image, const Spectrogram& spectrogram, const std::vector<std::uint8_t>& indices,
                       const SpectrogramWindow& window, const SpectrogramMarks& marks) {
    const int width = image.width(), height = image.height();
    if (width < 1 || height < 1 || image.format() != QImage::Format_RGB32) return;
    std::array<std::uint32_t, kSpectrogramColours> palette{};
    for (int i = 0; i < kSpectrogramColours; ++i) palette[static_cast<std::size_t>(i)] = SpectrogramColour(i);
    const bool usable = spectrogram.frames > 0 && indices.size() == spectrogram.levelsDb.size();
    const std::vector<int> frames = ColumnFrames(spectrogram, window, width);
    BinSpan previous{0, -2};
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        const BinSpan span = RowBins(spectrogram, y, window.lowHz, window.highHz, height);
        // Rows of the same bins (several a bin once the band is narrow) are copies.
        if (y > 0 && span.first == previous.first && span.last == previous.last) {
            std::copy_n(reinterpret_cast<const std::uint32_t*>(image.constScanLine(y - 1)), width, row);
            continue;
        }
        previous = span;
        if (!usable || span.first > span.last) {
            std::fill(row, row + width, palette[0]);
            continue;
        }
        const std::uint8_t* first = indices.data() + static_cast<std::size_t>(span.first - spectrogram.firstBin) *
                                                         static_cast<std::size_t>(spectrogram.frames);
        FillRow(row, frames, first, span.last - span.first + 1, spectrogram.frames, palette);
    }
    const qreal ratio = image.devicePixelRatio();
    image.setDevicePixelRatio(1.0);
    DrawMarks(image, window, marks);
    image.setDevicePixelRatio(ratio);
}
