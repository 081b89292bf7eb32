#include "ui/toolkit/group_box.h"

#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace {

constexpr int kTitleAirPixels = 2;  // each side of the title, where the frame line stops

}  // namespace

GroupBox::GroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

QRect GroupBox::TitleRect() const {
    const QFontMetrics metrics(font());
    const int indent = metrics.height() / 2;
    const QSize text = metrics.size(Qt::TextShowMnemonic, title());
    const int width = std::min(text.width() + 2 * kTitleAirPixels, std::max(0, this->width() - 2 * indent));
    return QRect(indent, 0, width, text.height());
}

void GroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, QFontMetrics(font()).height() / 2, -1, -1);
    // Etched: a shadow line with a highlight one pixel down and right of it.
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.adjusted(1, 1, 0, 0));
    const QRect title = TitleRect();
    painter.fillRect(title, palette().color(QPalette::Window));
    style()->drawItemText(&painter, title, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(), this->title(),
                          QPalette::WindowText);
}
