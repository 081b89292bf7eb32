#pragma once
#include <QRect>
#include <QSize>
#include <functional>
#include <string>
#include <vector>

#include "ui/spectrum_render.h"

class QPainter;
struct Spectrum;
class PartialTable;

// The names of the named partials ("hum" ... "oct. nom.") over the plot.
// Runs on the calling thread; nothing here needs a window.

// A name and where it goes, in the plot image's physical pixels.
struct PlotLabel {
    std::string text;
    QRect rect;
    // A name that had to move off its place for another one points back to
    // its bar with a leader line ending here (just above the bar's top).
    bool leader = false;
    QPoint leaderTo;
};

// Places the name of each named row of the table (in table order) centred
// over the column that shows its frequency, two pixels above that column's
// bar; when the bar leaves no room above it, beside the bar at the top; a
// name reaching past either side of the plot is moved in. A name that would
// touch one already placed goes up a row at a time above its place, then
// down from the plot's top, and takes a leader line to its bar; only when
// every row is taken does it stay on its place. A name whose partial is out
// of view is left out. `textSize` gives a text's size in physical pixels.
std::vector<PlotLabel> PlacePartialLabels(const Spectrum& spectrum, const PartialTable& table,
                                          const PlotWindow& window, int width, int height,
                                          const std::function<QSize(const std::string&)>& textSize);

// Draws the names in black with the painter's font, and their leader lines
// in dark grey; `pixelRatio` converts the physical rectangles to the
// painter's logical coordinates.
void DrawPlotLabels(QPainter& painter, const std::vector<PlotLabel>& labels, double pixelRatio);
