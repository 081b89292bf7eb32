#include "ui/toolkit/spin_button.h"

#include <QKeyEvent>
#include <QToolButton>
#include <algorithm>

#include "ui/toolkit/scroll_codes.h"

namespace {

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType type) {
    auto* button = new QToolButton(parent);
    button->setArrowType(type);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

SpinButton::SpinButton(QWidget* parent)
    : QWidget(parent), left_(MakeArrow(this, Qt::LeftArrow)), right_(MakeArrow(this, Qt::RightArrow)) {
    setFocusPolicy(Qt::TabFocus);
    connect(left_, &QToolButton::clicked, this, [this] { Step(-1); });
    connect(right_, &QToolButton::clicked, this, [this] { Step(1); });
    connect(left_, &QToolButton::released, this, [this] { emit hscroll(SB_ENDSCROLL, position_); });
    connect(right_, &QToolButton::released, this, [this] { emit hscroll(SB_ENDSCROLL, position_); });
}

void SpinButton::SetRange(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    SetPos(position_);
}

void SpinButton::SetPos(int position) {
    position_ = std::clamp(position, std::min(lower_, upper_), std::max(lower_, upper_));
}

void SpinButton::Step(int direction) {
    SetPos(position_ + direction);
    emit hscroll(SB_THUMBPOSITION, position_);
}

void SpinButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left) {
        Step(-1);
    } else if (event->key() == Qt::Key_Right) {
        Step(1);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void SpinButton::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = width() / 2;
    left_->setGeometry(0, 0, half, height());
    right_->setGeometry(half, 0, width() - half, height());
}
