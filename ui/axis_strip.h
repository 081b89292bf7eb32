#pragma once
#include <QWidget>

#include "ui/plot_axis.h"

class SpectrumView;
struct Spectrum;

// The frequency axis under the plot: a tick at each round frequency with
// its value in Hz, columns matching the plot's physical pixels, and "Hz" at
// the right end. It asks the view what the plot shows whenever it paints;
// the window repaints it whenever the view draws. User-interface thread.
class AxisStrip : public QWidget {
public:
    AxisStrip(const SpectrumView& view, const Spectrum& spectrum, QWidget* parent = nullptr);

    // What the plot shows now, in the plot's physical columns.
    AxisSpan Span() const;
    // Labels at least this many logical pixels apart.
    static constexpr int kMinLabelSpacing = 64;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const SpectrumView& view;
    const Spectrum& spectrum;
};
