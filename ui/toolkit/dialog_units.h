#pragma once
#include <QRect>
#include <QSize>

// A control's place in a dialog template, in dialog units: x, y from the
// dialog's client origin, width and height.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Dialog units for an 8-point dialog font at 96 dpi: one horizontal unit is
// 1.5 px, one vertical unit 1.625 px. Each edge is converted on its own and
// truncated toward zero, so controls that touch in dialog units touch on
// screen. Qt scales the pixels for high-dpi screens.
int DialogUnitsToPixelsX(int units);
int DialogUnitsToPixelsY(int units);

// The rectangle in pixels of a DialogRect.
QRect DialogUnitsToPixels(const DialogRect& rect);

// The pixel size of a dialog of width x height dialog units.
QSize DialogSizeToPixels(int width, int height);
