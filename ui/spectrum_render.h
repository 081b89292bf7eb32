#pragma once
#include <QColor>
#include <QImage>
#include <QPen>

struct Spectrum;
class PartialTable;

// The bar graph of a magnitude spectrum drawn onto an image, without any
// window: the spectrum view draws its off-screen image with it and the
// command-line analyser its --plot picture. Runs on the calling thread
// (the user-interface thread in the program); QPainter on a QImage needs no
// QApplication.

// The plot's background, white.
inline const QColor kPlotBackground{255, 255, 255};

// The five solid one-pixel pens of the plot.
struct PlotPens {
    QPen black;   // border; cursor column
    QPen blue;    // ordinary bars
    QPen cyan;    // cursor column on a partial
    QPen green;   // line above the cursor bar
    QPen red;     // bars of partial columns
};

// Black (0, 0, 0), blue (0, 0, 255), cyan (0, 255, 255), green (0, 255, 0)
// and red (255, 0, 0), solid, width 1, square caps (no antialiasing is
// ever switched on).
PlotPens MakePlotPens();

// What of the spectrum the plot shows (see SpectrumView for the meaning).
struct PlotWindow {
    int binsPerPixel = 1;      // points per pixel column, >= 1
    int firstBin = 0;          // point at the left edge, >= 0
    int cursorBin = 0;         // first point of the cursor column
    double verticalScale = 10.0;  // pixels per unit of magnitude
    int pixelsPerPoint = 1;    // columns per point when magnified (then bpp is 1)
    bool decibels = false;     // bar heights on the 80 dB scale (DecibelBarTop)
};

// y of the top end of pixel column `column`'s bar on a plot `height` rows
// high: the largest magnitude of the column's points on the linear or the
// decibel scale (BarTop, DecibelBarTop).
int ColumnBarTop(const Spectrum& spectrum, const PlotWindow& window, int column, int height);

// Draws the whole plot onto `image` (W x H = its size, any RGB format):
// white fill; black border through (0, 0), (W - 1, 0), (W - 1, H - 1),
// (0, H - 1); for each column x = 0 ... W - 2 a bar from the bottom up to
// row H - trunc(peak x verticalScale) - 1 (exclusive), where peak is the
// largest magnitude of the column's points (0 past L): blue, red when the
// partial table has a peak in the column's frequency span, and in the
// cursor column black (cyan on a partial) with a green line from the bar's
// top up to row 1. Lines end one pixel short of their end point, like a
// pen's line-to, so a zero bar draws nothing. Magnified, each point fills
// pixelsPerPoint columns; on the decibel scale the bar heights follow
// DecibelBarTop of the spectrum's maxMagnitude. Columns are the image's
// physical pixels whatever its device pixel ratio. Reads the spectrum's
// startFrequency, interval, steps and magnitudes (all 0 when not measured)
// and the table's HasPeakIn.
void RenderSpectrum(QImage& image, const Spectrum& spectrum, const PartialTable& table,
                    const PlotWindow& window, const PlotPens& pens);

// A new W x H image (QImage::Format_RGB32) with the plot drawn on it; a
// null image when W or H is below 1.
QImage RenderSpectrumImage(const Spectrum& spectrum, const PartialTable& table,
                           const PlotWindow& window, int width, int height);
