#pragma once
#include <QWidget>
#include <vector>

#include "tuning/decay_curves.h"

// The decay curves of the current bell's named partials: all of them
// overlaid in their colours with a legend, or the one partial chosen (with
// its noise floor). Paints with QPainter straight onto the widget, so it is
// sharp at any device pixel ratio. A click on it does nothing (it is kept
// from the window beneath). User-interface thread only.
class DecayView : public QWidget {
public:
    explicit DecayView(QWidget* parent = nullptr);

    // New curves (MakeDecayCurves); the chosen partial stays chosen while
    // the new curves hold it, else all are shown. Repaints.
    void SetCurves(std::vector<DecayCurve> curves);
    // Shows only the partial stored as `partialIndex` (when a curve has
    // it), or all for -1. Repaints.
    void SelectPartial(int partialIndex);
    // The partial shown alone, -1 when all are shown.
    int SelectedPartial() const { return selected; }
    const std::vector<DecayCurve>& Curves() const { return curves; }
    // The curves the view draws now.
    std::vector<const DecayCurve*> Shown() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::vector<DecayCurve> curves;
    int selected = -1;
};
