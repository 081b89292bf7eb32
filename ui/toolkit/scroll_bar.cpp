#include "ui/toolkit/scroll_bar.h"

#include <algorithm>

ScrollBar::ScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
    connect(this, &QAbstractSlider::actionTriggered, this, &ScrollBar::OnAction);
    connect(this, &QAbstractSlider::sliderReleased, this, [this] {
        emit hscroll(SB_THUMBPOSITION, sliderPosition());
        emit hscroll(SB_ENDSCROLL, value());
    });
}

void ScrollBar::SetScrollInfo(const ScrollInfo& info) {
    info_ = info;
    const int page = std::max(info.page, 0);
    const int last = std::max(info.minimum, page > 0 ? info.maximum - page + 1 : info.maximum);
    setRange(info.minimum, last);
    setPageStep(std::max(page, 1));
    setValue(info.position);
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
