#pragma once
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "ui/plot_labels.h"
#include "ui/plot_zoom.h"
#include "ui/spectrum_geometry.h"
#include "ui/spectrum_render.h"

struct Spectrum;
class PartialTable;

// What the spectrum view needs of the window that shows it. The main window
// implements it; every call comes on the user-interface thread.
class SpectrumViewHost {
public:
    virtual ~SpectrumViewHost() = default;

    // The view changed its readouts (cursorFrequency -> edit 1003,
    // cursorAmplitude -> 1005, binsPerPixel -> 1007, cursorNote -> 1012):
    // when attachScrollBar is true the window first raises its
    // attachScrollBar exchange flag, then it pushes its fields to the
    // controls (UpdateData(false)).
    virtual void PushReadouts(bool attachScrollBar) = 0;

    // Scroll bar 1008 as a scroll description in spectrum points: range
    // minimum ... maximum, a page of `page` points, the thumb at `position`
    // (the thumb's left edge runs from minimum to maximum - page + 1). Must
    // not report the change back as a scroll notification.
    virtual void SetScrollInfo(int minimum, int maximum, int page, int position) = 0;

    // Spin 1009: its range (0 ... W - 1 at set-up) and its position (always
    // within the range). Must not report the change back as a notification.
    // (The toolkit's ScrollBar::SetScrollInfo and SpinButton::SetRange /
    // SetPos do exactly what these three ask.)
    virtual void SetSpinRange(int lower, int upper) = 0;
    virtual void SetSpinPosition(int position) = 0;

    // The off-screen image changed: repaint the plot frame now (the frame
    // only copies SpectrumView::image).
    virtual void ShowImage() = 0;
};

// The spectrum bar graph with its cursor, "Scale" compression and scroll
// bar. One object for the program's life, owned by the main window, which
// forwards the plot row's notifications to it. All calls on the
// user-interface thread. Before SetUp every operation is harmless (nothing
// is pushed or shown).
//
// The window calls:
//   SetUp                once at start-up, after the start-up spectrum exists;
//   RefreshAfterAnalysis after every transform that ended with OK;
//   Draw                 after it changed the partial table;
//   OnScale              for "Scale" (1006);
//   OnHScroll            for scroll bar 1008 and spin 1009 (source as id);
//   OnLButtonDown        for every left-button press on the window.
class SpectrumView {
public:
    SpectrumView(const Spectrum& spectrum, const PartialTable& table);
    SpectrumView(const SpectrumView&) = delete;
    SpectrumView& operator=(const SpectrumView&) = delete;

    // First-time set-up: cursor at point 0 (frequency startFrequency,
    // amplitude spectrum[0]), plot of width x height logical pixels (the
    // plot frame's client size; both >= 2) on a screen of `pixelRatio`
    // physical pixels per logical one, so W = trunc(width x pixelRatio)
    // columns and H = trunc(height x pixelRatio) rows; frame at `frameRect`
    // in the main window's client (logical) coordinates, full compression,
    // off-screen image and pens, scroll bar 0 ... L, spin 0 ... W - 1 at 0;
    // pushes the readouts (attaching the scroll bar) and draws. Calling it
    // again starts over.
    void SetUp(SpectrumViewHost& host, int width, int height, const QRect& frameRect,
               double pixelRatio = 1.0);

    // The plot frame changed size or screen: a new W x H image; scaling and
    // the fitting compression for the new W and H (binsPerPixel lowered to
    // it if above), the left edge kept as far as the new width allows, the
    // cursor on its point, scroll bar and spin range 0 ... W - 1 renewed;
    // pushes (attaching) and draws. Nothing before SetUp.
    void Resize(int width, int height, const QRect& frameRect, double pixelRatio);

    // One wheel step in or out (WheelZoom) around the point under `point`
    // (main window client coordinates, inside frameRect; else nothing): that
    // point stays under the pointer as far as the ends allow, the cursor
    // stays on its frequency. Pushes (attaching) and draws.
    void ZoomAt(const QPoint& point, bool zoomIn);

    // A drag that began with the left edge at `startFirstBin`: the plot
    // follows the pointer `dx` logical pixels (right = towards lower
    // frequencies), clamped to 0 ... maxFirst. The cursor stays on its
    // point. Pushes (attaching) and draws.
    void DragTo(int startFirstBin, int dx);

    // Arrow keys: the cursor `steps` columns right (left when negative), a
    // whole point per step when points are magnified; the plot scrolls to
    // keep it in view. Then as PlaceCursor.
    void MoveCursorBy(int steps);

    // The decibel scale on or off; draws.
    void SetDecibels(bool on);

    // What lies under `point` (main window client coordinates), for the
    // live readout: the strongest point of that column, as a click would
    // pick it, without moving the cursor. False outside frameRect and while
    // the spectrum is not measured.
    bool HoverAt(const QPoint& point, CursorPick& pick) const;
    // The readout's text for a pick: "640 Hz  4.0012  -0.0 dB  D#5".
    std::string ReadoutText(const CursorPick& pick) const;

    // verticalScale from the spectrum's maxMagnitude and the compression that
    // fits the whole spectrum; binsPerPixel is lowered to it if above.
    // Returns that compression (the caller stores it in maxBinsPerPixel).
    int UpdateScaling();

    // After a completed transform: UpdateScaling into maxBinsPerPixel, then
    // CentreOnCursor (the cursor keeps its frequency).
    void RefreshAfterAnalysis();

    // Renders the whole off-screen image and has the host show it.
    void Draw();

    // "Scale": the next compression (NextBinsPerPixel), then CentreOnCursor.
    void OnScale();

    // Centres the plot on cursorFrequency: firstBin, scroll bar, cursorBin
    // snapped to its column, cursorNote, spin position; pushes the readouts
    // (attaching the scroll bar) and draws. Keeps cursorFrequency and
    // cursorAmplitude.
    void CentreOnCursor();

    // A horizontal scroll of `sourceId`. Scroll bar 1008: pans by `code`
    // (ScrollCode, the SB_ values), where `position` is the thumb position
    // (used by the thumb codes, cut to 0 ... maxFirst); pushes (attaching)
    // and draws, the cursor stays on its point. Spin 1009: PlaceCursor(position), position cut to
    // 0 ... W - 1, for every code. Other sources: nothing.
    void OnHScroll(int code, int position, int sourceId);

    // A left click at `point` in the main window's client coordinates:
    // PlaceCursor(point.x - frameRect.left) when the point lies inside
    // frameRect, nothing otherwise. `flags` (the mouse keys) is unused.
    void OnLButtonDown(unsigned flags, const QPoint& point);

    // Cursor on pixel column n (0 = left edge): the column's strongest
    // point (PickCursor), its frequency, magnitude and note, the spin
    // position; pushes the readouts (without attaching) and draws.
    void PlaceCursor(int column);

    // The plot as the screen shows it, partial names included, at its
    // physical size (for a report).
    QImage Picture() const;

    // Which part of the spectrum the plot shows, for the renderer.
    PlotWindow CurrentWindow() const;
    // The pixel column under `point` (main window client coordinates).
    int ColumnAt(const QPoint& point) const;

    int binsPerPixel = 1;        // points per pixel column, >= 1; edit 1007
    int maxBinsPerPixel = 1;     // compression that fits the whole spectrum
    int firstBin = 0;            // point at the left edge; scroll position
    int cursorBin = 0;           // first point of the cursor column
    double cursorFrequency = 0.0;  // Hz; edit 1003
    double cursorAmplitude = 0.0;  // magnitude at the cursor; edit 1005
    std::string cursorNote;      // NoteName(cursorFrequency); edit 1012
    double verticalScale = 10.0;  // pixels per unit of magnitude
    PixelRect plotRect;          // 0, 0, W, H
    PixelRect frameRect;         // the frame in the main window's client coordinates
    QImage image;                // W x H off-screen image, carrying pixelRatio
    PlotPens pens;               // black, blue, cyan, green, red
    int pixelsPerPoint = 1;      // columns per point when magnified (then binsPerPixel is 1)
    bool decibels = false;       // bar heights in dB from the largest value
    double pixelRatio = 1.0;     // physical pixels per logical pixel of the plot's screen
    QFont labelFont;             // for the partial names
    std::vector<PlotLabel> labels;  // partial names over the image, physical pixels

private:
    int LastPoint() const;
    // The spectrum point under the cursor: the one it was placed on while
    // it keeps that point's frequency, else the one its frequency falls in.
    int CursorPoint() const;
    // The magnitudes, null when the spectrum is not measured.
    const double* Points() const;
    void PushReadouts(bool attachScrollBar);
    void PublishScrollInfo();
    void SetGeometry(int width, int height, const QRect& frameRect, double pixelRatio);
    // After firstBin or the zoom changed: scroll bar, the cursor snapped to
    // its column, spin position; pushes (attaching) and draws.
    void ShowMovedPlot();
    PlotZoom Zoom() const { return PlotZoom{binsPerPixel, pixelsPerPoint}; }

    const Spectrum& spectrum;
    const PartialTable& table;
    SpectrumViewHost* host = nullptr;
    int cursorPoint = -1;  // the point PlaceCursor put the cursor on; -1 none
};

// The plot frame (control 1045) for the main window: a child widget
// without border whose paint only copies the view's image (one image pixel
// per physical pixel) and writes the partial names over it. It is
// transparent for the mouse, so a click on the plot reaches the window
// beneath it like any other click on the window; the window forwards its
// left-button presses (window client coordinates) to
// SpectrumView::OnLButtonDown. Place it, then pass its size and
// FrameRectIn(window) to SetUp. User-interface thread only.
class PlotFrame : public QWidget {
public:
    PlotFrame(SpectrumView& view, QWidget* parent = nullptr);

    // This widget's rectangle in the client coordinates of `window` (an
    // ancestor).
    QRect FrameRectIn(const QWidget* window) const;

    // Called (queued) when the frame finds itself on a screen whose device
    // pixel ratio differs from the view's.
    std::function<void()> onRatioChange;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    SpectrumView& view;
};
