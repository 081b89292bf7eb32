#include "ui/spectrum_view.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "analysis/spectrum.h"
#include "data/number_text.h"
#include "partials/partial_table.h"
#include "ui/toolkit/scroll_codes.h"

// The window hands the toolkit's scroll codes straight through.
static_assert(kScrollLineLeft == SB_LINELEFT && kScrollLineRight == SB_LINERIGHT &&
              kScrollPageLeft == SB_PAGELEFT && kScrollPageRight == SB_PAGERIGHT &&
              kScrollThumbPosition == SB_THUMBPOSITION && kScrollThumbTrack == SB_THUMBTRACK &&
              kScrollLeft == SB_LEFT && kScrollRight == SB_RIGHT && kScrollEnd == SB_ENDSCROLL);

SpectrumView::SpectrumView(const Spectrum& spectrum, const PartialTable& table)
    : spectrum(spectrum), table(table) {}

int SpectrumView::LastPoint() const { return spectrum.steps; }

const double* SpectrumView::Points() const { return spectrum.Points(); }

void SpectrumView::SetUp(SpectrumViewHost& newHost, int width, int height, const QRect& frame,
                         double ratio) {
    host = &newHost;
    cursorFrequency = spectrum.startFrequency;
    cursorNote = NoteName(cursorFrequency);
    cursorAmplitude = (Points() != nullptr && LastPoint() >= 0) ? Points()[0] : 0.0;

    SetGeometry(width, height, frame, ratio);
    pixelsPerPoint = 1;
    maxBinsPerPixel = UpdateScaling();
    binsPerPixel = maxBinsPerPixel;
    firstBin = 0;
    cursorBin = 0;
    pens = MakePlotPens();

    PublishScrollInfo();
    host->SetSpinRange(0, std::max(0, plotRect.Width() - 1));
    host->SetSpinPosition(0);
    PushReadouts(true);
    Draw();
}

void SpectrumView::SetGeometry(int width, int height, const QRect& frame, double ratio) {
    pixelRatio = ratio > 0.0 && std::isfinite(ratio) ? ratio : 1.0;
    plotRect = PixelRect{0, 0, std::max(TruncToInt(width * pixelRatio), 0),
                         std::max(TruncToInt(height * pixelRatio), 0)};
    frameRect = PixelRect{frame.left(), frame.top(), frame.left() + frame.width(),
                          frame.top() + frame.height()};
    image = QImage(plotRect.Width(), plotRect.Height(), QImage::Format_RGB32);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(kPlotBackground);
}

void SpectrumView::Resize(int width, int height, const QRect& frame, double ratio) {
    if (host == nullptr) {
        return;
    }
    SetGeometry(width, height, frame, ratio);
    maxBinsPerPixel = UpdateScaling();
    if (binsPerPixel > 1) {
        pixelsPerPoint = 1;
    }
    firstBin = std::min(firstBin, MaxFirstBin(LastPoint(), plotRect.Width(), binsPerPixel, pixelsPerPoint));
    host->SetSpinRange(0, std::max(0, plotRect.Width() - 1));
    ShowMovedPlot();
}

int SpectrumView::UpdateScaling() {
    verticalScale = VerticalScale(spectrum.maxMagnitude, plotRect.Height());
    const int fit = FitBinsPerPixel(LastPoint(), plotRect.Width());
    if (binsPerPixel > fit) {
        binsPerPixel = fit;
    }
    return fit;
}

void SpectrumView::RefreshAfterAnalysis() {
    maxBinsPerPixel = UpdateScaling();
    CentreOnCursor();
}

PlotWindow SpectrumView::CurrentWindow() const {
    return PlotWindow{binsPerPixel, firstBin, cursorBin, verticalScale, pixelsPerPoint, decibels};
}

QImage SpectrumView::Picture() const {
    QImage picture = image.copy();
    picture.setDevicePixelRatio(1.0);
    QPainter painter(&picture);
    QFont font = labelFont;
    font.setPointSizeF(font.pointSizeF() * pixelRatio);
    painter.setFont(font);
    DrawPlotLabels(painter, labels, 1.0);
    return picture;
}

int SpectrumView::ColumnAt(const QPoint& point) const {
    return TruncToInt((point.x() - frameRect.left) * pixelRatio);
}

void SpectrumView::Draw() {
    if (host == nullptr || image.isNull()) {
        return;
    }
    RenderSpectrum(image, spectrum, table, CurrentWindow(), pens);
    const QFontMetrics metrics(labelFont);
    labels = PlacePartialLabels(spectrum, table, CurrentWindow(), plotRect.Width(), plotRect.Height(),
                                [&](const std::string& text) {
                                    const QSize size = metrics.size(0, QString::fromStdString(text));
                                    return QSize(TruncToInt(std::ceil(size.width() * pixelRatio)),
                                                 TruncToInt(std::ceil(size.height() * pixelRatio)));
                                });
    host->ShowImage();
}

void SpectrumView::OnScale() {
    pixelsPerPoint = 1;
    binsPerPixel = NextBinsPerPixel(binsPerPixel, maxBinsPerPixel);
    CentreOnCursor();
}

void SpectrumView::ZoomAt(const QPoint& point, bool zoomIn) {
    if (host == nullptr || !frameRect.Contains(point.x(), point.y())) {
        return;
    }
    const PlotZoom after = WheelZoom(Zoom(), zoomIn, maxBinsPerPixel);
    firstBin = FirstBinKeepingColumn(ColumnAt(point), firstBin, Zoom(), after, LastPoint(), plotRect.Width());
    binsPerPixel = after.binsPerPixel;
    pixelsPerPoint = after.pixelsPerPoint;
    ShowMovedPlot();
}

void SpectrumView::DragTo(int startFirstBin, int dx) {
    if (host == nullptr) {
        return;
    }
    const int columns = TruncToInt(dx * pixelRatio);
    const std::int64_t moved = PointsAcross(std::abs(columns), binsPerPixel, pixelsPerPoint);
    const std::int64_t first = static_cast<std::int64_t>(startFirstBin) - (columns < 0 ? -moved : moved);
    const int maxFirst = MaxFirstBin(LastPoint(), plotRect.Width(), binsPerPixel, pixelsPerPoint);
    firstBin = static_cast<int>(std::clamp<std::int64_t>(first, 0, maxFirst));
    PublishScrollInfo();
    PushReadouts(true);
    Draw();
}

void SpectrumView::MoveCursorBy(int steps) {
    if (host == nullptr) {
        return;
    }
    const std::int64_t target =
        std::clamp<std::int64_t>(static_cast<std::int64_t>(cursorBin) + static_cast<std::int64_t>(steps) * binsPerPixel,
                                 0, std::max(0, LastPoint()));
    // Scroll by whole columns, so the columns keep their points.
    const std::int64_t shown = std::max<std::int64_t>(PointsAcross(plotRect.Width() - 1, binsPerPixel, pixelsPerPoint), 1);
    std::int64_t first = firstBin;
    if (target < first) first -= (first - target + binsPerPixel - 1) / binsPerPixel * binsPerPixel;
    if (target >= first + shown) first += (target - first - shown) / binsPerPixel * binsPerPixel + binsPerPixel;
    const int maxFirst = MaxFirstBin(LastPoint(), plotRect.Width(), binsPerPixel, pixelsPerPoint);
    if (first != firstBin) {
        firstBin = static_cast<int>(std::clamp<std::int64_t>(first, 0, maxFirst));
        PublishScrollInfo();
    }
    PlaceCursor(PointColumn(static_cast<int>(target), firstBin, binsPerPixel, pixelsPerPoint));
}

void SpectrumView::SetDecibels(bool on) {
    decibels = on;
    Draw();
}

bool SpectrumView::HoverAt(const QPoint& point, CursorPick& pick) const {
    if (!frameRect.Contains(point.x(), point.y()) || Points() == nullptr) {
        return false;
    }
    pick = PickCursor(Points(), LastPoint(), ColumnAt(point), firstBin, binsPerPixel, pixelsPerPoint);
    return true;
}

std::string SpectrumView::ReadoutText(const CursorPick& pick) const {
    const double frequency = spectrum.startFrequency + pick.bestPoint * spectrum.interval;
    char magnitude[32];
    const auto m = std::to_chars(magnitude, magnitude + sizeof magnitude, pick.amplitude, std::chars_format::general, 5);
    std::string text = FormatDouble15(frequency) + " Hz  " + std::string(magnitude, m.ptr);
    if (pick.amplitude > 0.0 && spectrum.maxMagnitude > 0.0) {
        char decibels[32];
        const double level = 20.0 * std::log10(pick.amplitude / spectrum.maxMagnitude) + 0.0;
        const auto d = std::to_chars(decibels, decibels + sizeof decibels, level, std::chars_format::fixed, 1);
        text += "  " + std::string(decibels, d.ptr) + " dB";
    }
    return text + "  " + NoteName(frequency);
}

int SpectrumView::CursorPoint() const {
    if (!(spectrum.interval > 0.0)) return 0;
    // The point the cursor was placed on, while the cursor still has its
    // frequency in this spectrum: truncating that frequency back to a point
    // can give the one below (0.35 / 0.05 is 6.999...).
    if (cursorPoint >= 0 && cursorFrequency == spectrum.startFrequency + cursorPoint * spectrum.interval) {
        return cursorPoint;
    }
    return PointAtFrequency(cursorFrequency, spectrum.startFrequency, spectrum.interval);
}

void SpectrumView::CentreOnCursor() {
    const int width = plotRect.Width();
    const int k = CursorPoint();
    firstBin = CentredFirstBin(k, width, binsPerPixel, LastPoint(), pixelsPerPoint);
    ShowMovedPlot();
}

void SpectrumView::ShowMovedPlot() {
    const int k = CursorPoint();
    PublishScrollInfo();
    cursorBin = SnapToColumn(k, firstBin, binsPerPixel);
    cursorNote = NoteName(cursorFrequency);
    if (host != nullptr) {
        host->SetSpinPosition(SpinPosition(cursorBin, firstBin, binsPerPixel, plotRect.Width(), pixelsPerPoint));
    }
    PushReadouts(true);
    Draw();
}

void SpectrumView::OnHScroll(int code, int position, int sourceId) {
    if (sourceId == kSpinId) {
        PlaceCursor(std::clamp(position, 0, std::max(0, plotRect.Width() - 1)));
        return;
    }
    if (sourceId != kScrollBarId) {
        return;
    }
    const int maxFirst = MaxFirstBin(LastPoint(), plotRect.Width(), binsPerPixel, pixelsPerPoint);
    firstBin = ScrolledFirstBin(code, firstBin, maxFirst, position);
    PublishScrollInfo();
    PushReadouts(true);
    Draw();
}

void SpectrumView::OnLButtonDown(unsigned /*flags*/, const QPoint& point) {
    if (frameRect.Contains(point.x(), point.y())) {
        PlaceCursor(ColumnAt(point));
    }
}

void SpectrumView::PlaceCursor(int column) {
    const CursorPick pick = PickCursor(Points(), LastPoint(), column, firstBin, binsPerPixel, pixelsPerPoint);
    cursorBin = pick.cursorBin;
    cursorAmplitude = pick.amplitude;
    cursorPoint = pick.bestPoint;
    cursorFrequency = spectrum.startFrequency + pick.bestPoint * spectrum.interval;
    cursorNote = NoteName(cursorFrequency);
    if (host != nullptr) {
        host->SetSpinPosition(SpinPosition(cursorBin, firstBin, binsPerPixel, plotRect.Width(), pixelsPerPoint));
    }
    PushReadouts(false);
    Draw();
}

void SpectrumView::PushReadouts(bool attachScrollBar) {
    if (host != nullptr) {
        host->PushReadouts(attachScrollBar);
    }
}

void SpectrumView::PublishScrollInfo() {
    if (host != nullptr) {
        const auto page = PointsAcross(plotRect.Width(), binsPerPixel, pixelsPerPoint);
        host->SetScrollInfo(0, std::max(0, LastPoint()), static_cast<int>(std::min<std::int64_t>(page, INT32_MAX)),
                            firstBin);
    }
}

PlotFrame::PlotFrame(SpectrumView& view, QWidget* parent) : QWidget(parent), view(view) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The window routes every click to the view, in its own coordinates.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Tab reaches the plot for its arrow keys; a click gives it the focus
    // through the window.
    setFocusPolicy(Qt::TabFocus);
}

QRect PlotFrame::FrameRectIn(const QWidget* window) const {
    return QRect(mapTo(window, QPoint(0, 0)), size());
}

void PlotFrame::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    // The image carries the ratio it was drawn for, so it lands one image
    // pixel on one physical pixel.
    painter.drawImage(QPoint(0, 0), view.image);
    painter.setFont(view.labelFont);
    DrawPlotLabels(painter, view.labels, view.pixelRatio);
    if (hasFocus()) {
        painter.setPen(QPen(Qt::darkGray, 0, Qt::DotLine));
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    }
    // Moved to a screen of another scaling: the image no longer has one
    // pixel per physical pixel; the window lays the plot out again.
    if (devicePixelRatioF() != view.pixelRatio && onRatioChange) {
        QMetaObject::invokeMethod(this, onRatioChange, Qt::QueuedConnection);
    }
}

void PlotFrame::focusInEvent(QFocusEvent* /*event*/) { update(); }
void PlotFrame::focusOutEvent(QFocusEvent* /*event*/) { update(); }
