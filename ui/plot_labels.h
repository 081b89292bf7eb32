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
};

// Places the name of each named row of the table (in table order) centred
// over the column that shows its frequency, two pixels above that column's
// bar; when the bar leaves no room above it, beside the bar at the top. A
// name whose partial is out of view, that would leave the plot, or that
// would touch a name already placed is left out. `textSize` gives a
// text's size in physical pixels.
std::vector<PlotLabel> PlacePartialLabels(const Spectrum& spectrum, const PartialTable& table,
                                          const PlotWindow& window, int width, int height,
                                          const std::function<QSize(const std::string&)>& textSize);

// Draws the names in black with the painter's font; `pixelRatio` converts
// the physical rectangles to the painter's logical coordinates.
void DrawPlotLabels(QPainter& painter, const std::vector<PlotLabel>& labels, double pixelRatio);
