#pragma once
#include <QRect>
#include <QSize>

class QFont;

// A control's place in a dialog template, in dialog units: x, y from the
// dialog's client origin, width and height.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Dialog units of one font: a horizontal unit is a quarter of the font's
// average character width (the mean advance of the 52 letters A-Z, a-z), a
// vertical unit an eighth of its line height, so a template's texts keep
// their room at any font size and screen scaling. For Liberation Sans (or
// Arial) at 9 points and 96 dpi both are 1.75 px. Each edge is converted on
// its own and truncated toward zero, so controls that touch in dialog units
// touch on screen. User-interface thread (it measures with the font).
class DialogUnits {
public:
    DialogUnits() = default;  // every size 0 until measured
    explicit DialogUnits(const QFont& font);

    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    // The rectangle in pixels of a DialogRect.
    QRect ToPixels(const DialogRect& rect) const;
    // The pixel size of a dialog of width x height dialog units.
    QSize SizeToPixels(int width, int height) const;

private:
    int lettersWidth_ = 0;  // px, the 52 letters side by side
    int lineHeight_ = 0;    // px
};
