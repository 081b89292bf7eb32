#include "ui/spectrum_view.h"

#include <QPainter>
#include <algorithm>

#include "analysis/spectrum_analyser.h"
#include "partials/partial_table.h"
#include "ui/toolkit/scroll_codes.h"

// The window hands the toolkit's scroll codes straight through.
static_assert(kScrollLineLeft == SB_LINELEFT && kScrollLineRight == SB_LINERIGHT &&
              kScrollPageLeft == SB_PAGELEFT && kScrollPageRight == SB_PAGERIGHT &&
              kScrollThumbPosition == SB_THUMBPOSITION && kScrollThumbTrack == SB_THUMBTRACK &&
              kScrollLeft == SB_LEFT && kScrollRight == SB_RIGHT && kScrollEnd == SB_ENDSCROLL);

SpectrumView::SpectrumView(const SpectrumAnalyser& analyser, const PartialTable& table)
    : analyser(analyser), table(table) {}

int SpectrumView::LastPoint() const { return analyser.steps; }

const double* SpectrumView::Spectrum() const { return analyser.spectrum.get(); }

void SpectrumView::SetUp(SpectrumViewHost& newHost, int width, int height,
                         const QRect& frame) {
    host = &newHost;
    cursorFrequency = analyser.startFrequency;
    cursorNote = NoteName(cursorFrequency);
    cursorAmplitude = (Spectrum() != nullptr && LastPoint() >= 0) ? Spectrum()[0] : 0.0;

    plotRect = PixelRect{0, 0, std::max(width, 0), std::max(height, 0)};
    frameRect = PixelRect{frame.left(), frame.top(), frame.left() + frame.width(),
                          frame.top() + frame.height()};

    maxBinsPerPixel = UpdateScaling();
    binsPerPixel = maxBinsPerPixel;
    firstBin = 0;
    cursorBin = 0;

    // The image is made once here and kept: the plot frame never changes size.
    image = QImage(plotRect.Width(), plotRect.Height(), QImage::Format_RGB32);
    image.fill(kPlotBackground);
    pens = MakePlotPens();

    PublishScrollInfo();
    host->SetSpinRange(0, std::max(0, plotRect.Width() - 1));
    host->SetSpinPosition(0);
    PushReadouts(true);
    Draw();
}

int SpectrumView::UpdateScaling() {
    verticalScale = VerticalScale(analyser.maxMagnitude, plotRect.Height());
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
    return PlotWindow{binsPerPixel, firstBin, cursorBin, verticalScale};
}

void SpectrumView::Draw() {
    if (host == nullptr || image.isNull()) {
        return;
    }
    RenderSpectrum(image, analyser, table, CurrentWindow(), pens);
    host->ShowImage();
}

void SpectrumView::OnScale() {
    binsPerPixel = NextBinsPerPixel(binsPerPixel, maxBinsPerPixel);
    CentreOnCursor();
}

void SpectrumView::CentreOnCursor() {
    const int width = plotRect.Width();
    const int k = analyser.interval > 0.0
                      ? PointAtFrequency(cursorFrequency, analyser.startFrequency, analyser.interval)
                      : 0;
    firstBin = CentredFirstBin(k, width, binsPerPixel, LastPoint());
    PublishScrollInfo();
    cursorBin = SnapToColumn(k, firstBin, binsPerPixel);
    cursorNote = NoteName(cursorFrequency);
    if (host != nullptr) {
        host->SetSpinPosition(SpinPosition(cursorBin, firstBin, binsPerPixel, width));
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
    const int maxFirst = MaxFirstBin(LastPoint(), plotRect.Width(), binsPerPixel);
    firstBin = ScrolledFirstBin(code, firstBin, maxFirst, position);
    PublishScrollInfo();
    PushReadouts(true);
    Draw();
}

void SpectrumView::OnLButtonDown(unsigned /*flags*/, const QPoint& point) {
    if (frameRect.Contains(point.x(), point.y())) {
        PlaceCursor(point.x() - frameRect.left);
    }
}

void SpectrumView::PlaceCursor(int column) {
    const CursorPick pick = PickCursor(Spectrum(), LastPoint(), column, firstBin, binsPerPixel);
    cursorBin = pick.cursorBin;
    cursorAmplitude = pick.amplitude;
    cursorFrequency = analyser.startFrequency + pick.bestPoint * analyser.interval;
    cursorNote = NoteName(cursorFrequency);
    if (host != nullptr) {
        host->SetSpinPosition(SpinPosition(cursorBin, firstBin, binsPerPixel, plotRect.Width()));
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
        const int page = plotRect.Width() * binsPerPixel;
        host->SetScrollInfo(0, std::max(0, LastPoint()), page, firstBin);
    }
}

PlotFrame::PlotFrame(SpectrumView& view, QWidget* parent) : QWidget(parent), view(view) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The window routes every click to the view, in its own coordinates.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QRect PlotFrame::FrameRectIn(const QWidget* window) const {
    return QRect(mapTo(window, QPoint(0, 0)), size());
}

void PlotFrame::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), view.image);
}
