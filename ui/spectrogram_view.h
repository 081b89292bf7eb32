#pragma once
#include <QFontMetrics>
#include <QImage>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "analysis/spectrogram.h"
#include "ui/spectrogram_render.h"

// What a spectrogram view shows of one recording; shared, never changed,
// by every view that shows it.
struct SpectrogramPicture {
    Spectrogram spectrogram;
    std::vector<std::uint8_t> indices;  // ColourIndices(spectrogram)
    SpectrogramMarks marks;
    std::vector<std::string> partialNames;  // beside marks.partialsHz, one each
    double durationSeconds = 1.0;           // the recording's length
};

// The spectrogram of the current bell's recording: time across, frequency
// up over a band (the spectrum plot's visible band), level as colour, the
// partials, the strike and a second strike marked and named. Draws into an
// off-screen image of its physical pixels when its picture, band, size or
// screen changes, and paints by copying it. A click on it does nothing.
// User-interface thread only.
class SpectrogramView : public QWidget {
public:
    explicit SpectrogramView(QWidget* parent = nullptr);

    // The picture to show (null: none). Repaints.
    void SetPicture(std::shared_ptr<const SpectrogramPicture> picture);
    // The band shown, Hz (ignored unless high > low). Repaints when changed.
    void SetBand(double lowHz, double highHz);
    const SpectrogramWindow& Window() const { return window; }
    const SpectrogramPicture* Picture() const { return picture.get(); }
    // What lies under `point` (the view's own coordinates), for the tool
    // tip that follows the pointer: "0.520 s  600.3 Hz  -23.4 dB" (the
    // level of the bin nearest the row's centre in the frame nearest the
    // column's time); empty without a picture or outside the view.
    std::string ReadoutAt(const QPoint& point) const;
    // The picture as last drawn (physical pixels; null before the first paint).
    const QImage& Image() const { return image; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void Render();
    void DrawNames(QPainter& painter) const;
    void DrawAxes(QPainter& painter, const QFontMetrics& metrics) const;

    std::shared_ptr<const SpectrogramPicture> picture;
    SpectrogramWindow window;
    QImage image;
    bool dirty = true;
};
