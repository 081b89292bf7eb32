#include "ui/toolkit/scroll_bar.h"

#include <algorithm>

ScrollBar::ScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
    connect(this, &QAbstractSlider::actionTriggered, this, &ScrollBar::OnAction);
    connect(this, &QAbstractSlider::valueChanged, this, &ScrollBar::OnValueChanged);
    connect(this, &QAbstractSlider::sliderReleased, this, [this] {
        emit hscroll(SB_THUMBPOSITION, sliderPosition());
        emit hscroll(SB_ENDSCROLL, value());
    });
}

void ScrollBar::SetScrollInfo(const ScrollInfo& info) {
    info_ = info;
    ownerSetting_ = true;
    const int page = std::max(info.page, 0);
    const int last = std::max(info.minimum, page > 0 ? info.maximum - page + 1 : info.maximum);
    setRange(info.minimum, last);
    setPageStep(std::max(page, 1));
    setValue(info.position);
    ownerSetting_ = false;
}

ScrollInfo ScrollBar::GetScrollInfo() const {
    ScrollInfo info = info_;
    info.position = value();
    info.trackPosition = sliderPosition();
    return info;
}

void ScrollBar::EnableScrollBar(bool enable) {
    setEnabled(enable);
}

// Qt has already moved the thumb for a step when actionTriggered arrives
// (the value follows right after); put it back so that only the owner's
// SetScrollInfo moves the bar. A drag is left alone: the thumb follows the
// mouse and the owner is told where it is.
void ScrollBar::OnAction(int action) {
    int code = SB_ENDSCROLL;
    switch (action) {
    case SliderSingleStepSub: code = SB_LINELEFT; break;
    case SliderSingleStepAdd: code = SB_LINERIGHT; break;
    case SliderPageStepSub: code = SB_PAGELEFT; break;
    case SliderPageStepAdd: code = SB_PAGERIGHT; break;
    case SliderToMinimum: code = SB_LEFT; break;
    case SliderToMaximum: code = SB_RIGHT; break;
    case SliderMove: emit hscroll(SB_THUMBTRACK, sliderPosition()); return;
    default: return;
    }
    setSliderPosition(value());
    emit hscroll(code, value());
}

// The owner's own settings aside, the value changes without an action only
// when something sets it straight away: the context menu's "Scroll here"
// (its other entries trigger actions), or an assistive tool. The value also
// follows a drag or the wheel once the action is reported, but the owner has
// already set the bar then, so it is seen here only if the owner left it.
void ScrollBar::OnValueChanged(int value) {
    if (ownerSetting_ || isSliderDown()) return;
    emit hscroll(SB_THUMBPOSITION, value);
    emit hscroll(SB_ENDSCROLL, this->value());
}
