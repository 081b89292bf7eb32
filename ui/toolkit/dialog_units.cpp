#include "ui/toolkit/dialog_units.h"

// Integer arithmetic: 1.5 = 3/2 and 1.625 = 13/8, truncated toward zero.
int DialogUnitsToPixelsX(int units) {
    return units * 3 / 2;
}

int DialogUnitsToPixelsY(int units) {
    return units * 13 / 8;
}

QRect DialogUnitsToPixels(const DialogRect& rect) {
    const int left = DialogUnitsToPixelsX(rect.x);
    const int top = DialogUnitsToPixelsY(rect.y);
    const int right = DialogUnitsToPixelsX(rect.x + rect.width);
    const int bottom = DialogUnitsToPixelsY(rect.y + rect.height);
    return QRect(left, top, right - left, bottom - top);
}

QSize DialogSizeToPixels(int width, int height) {
    return QSize(DialogUnitsToPixelsX(width), DialogUnitsToPixelsY(height));
}
