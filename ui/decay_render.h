#pragma once
#include <QColor>
#include <QRectF>
#include <vector>

class QPainter;
struct DecayCurve;

// The decay plot drawn with any painter (a widget at its screen's device
// pixel ratio, an image, a PDF page), so it is sharp wherever it lands.
// Calling thread (the user-interface thread in the program); the painter
// must have a font.

// A colour per partial (IndexOf a Partial), distinct from the others.
QColor DecayColour(int partialIndex);

// Draws `curves` into `area` (painter coordinates) on white: round time and
// level grid lines with their values, each curve's level as a line in its
// colour, its fitted line dashed over the fitted range, and above it a
// legend of names with T60 ("nominal  T60 3.05 s", "-" without one). With a single
// curve, also its noise floor (dotted) and its frequency in the legend.
// `title`, when not empty, goes above the plot.
void DrawDecayPlot(QPainter& painter, const QRectF& area, const std::vector<const DecayCurve*>& curves,
                   const QString& title = {});
