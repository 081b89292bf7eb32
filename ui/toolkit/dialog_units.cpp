#include "ui/toolkit/dialog_units.h"

#include <QFontMetrics>
#include <cstdint>

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    lettersWidth_ = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    lineHeight_ = metrics.height();
}

// Whole-pixel measures and integer arithmetic: a unit is lettersWidth / 52 / 4
// px across and lineHeight / 8 px down, truncated toward zero like every
// conversion to pixels.
int DialogUnits::ToPixelsX(int units) const {
    return static_cast<int>(std::int64_t{units} * lettersWidth_ / (52 * 4));
}

int DialogUnits::ToPixelsY(int units) const {
    return static_cast<int>(std::int64_t{units} * lineHeight_ / 8);
}

QRect DialogUnits::ToPixels(const DialogRect& rect) const {
    const int left = ToPixelsX(rect.x);
    const int top = ToPixelsY(rect.y);
    const int right = ToPixelsX(rect.x + rect.width);
    const int bottom = ToPixelsY(rect.y + rect.height);
    return QRect(left, top, right - left, bottom - top);
}

QSize DialogUnits::SizeToPixels(int width, int height) const {
    return QSize(ToPixelsX(width), ToPixelsY(height));
}
