#pragma once
#include <QWidget>
#include <string>
#include <vector>

// One bell's spectra laid over each other in cents, the first pass's
// nominal at 0: how far each cut moved each partial. Drawn with vectors at
// the screen's pixel ratio, so it is sharp at any scaling.
// User-interface thread.
class HistoryPlot : public QWidget {
public:
    static constexpr double kFromCents = -2700.0;
    static constexpr double kToCents = 1500.0;
    static constexpr double kFloorDb = -80.0;

    struct Curve {
        std::string pass;
        std::vector<double> levelsDb;  // evenly from kFromCents to kToCents, 0 at the largest
    };

    explicit HistoryPlot(QWidget* parent = nullptr);
    void SetCurves(std::vector<Curve> curves);
    const std::vector<Curve>& Curves() const { return curves_; }

    // The x of `cents` and the y of `db` in a plot area of `width` x
    // `height` pixels (clamped to it).
    static double XOf(double cents, double width);
    static double YOf(double db, double height);
    // Each pass's own colour, the first blue, distinct for ten passes.
    static QColor PassColour(std::size_t index);
    // The curves, the octave lines with their cents and the passes' names
    // drawn into `area` (for the window and for the ring's report).
    static void Draw(QPainter& painter, const QRectF& area, const std::vector<Curve>& curves);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<Curve> curves_;
};
