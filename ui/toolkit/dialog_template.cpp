// Building a dialog from its template: the controls, placed in dialog
// units and registered under their ids.
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "ui/toolkit/dialog.h"
#include "ui/toolkit/group_box.h"
#include "ui/toolkit/scroll_bar.h"
#include "ui/toolkit/spin_button.h"

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

}  // namespace

void Dialog::SetTemplate(int width, int height, std::string_view caption) {
    setFixedSize(units_.SizeToPixels(width, height));
    setWindowTitle(ToQString(caption));
}

void Dialog::Register(int id, const DialogRect& rect, QWidget* widget) {
    widget->setParent(this);
    widget->setGeometry(units_.ToPixels(rect));
    if (id != IDC_STATIC) {
        widget->setObjectName(QStringLiteral("id%1").arg(id));
        controls_[id] = widget;
    }
    widget->show();
}

void Dialog::RegisterItem(int id, QWidget* widget) {
    widget->setObjectName(QStringLiteral("id%1").arg(id));
    controls_[id] = widget;
}

QLabel* Dialog::AddStatic(int id, std::string_view text, const DialogRect& rect, bool sunken) {
    auto* label = AddControl(id, rect, new QLabel(ToQString(text)));
    if (sunken) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
    }
    return label;
}

QGroupBox* Dialog::AddGroupBox(int id, std::string_view text, const DialogRect& rect) {
    auto* box = AddControl(id, rect, new GroupBox(ToQString(text)));
    box->lower();  // under the controls it frames, which are its siblings
    return box;
}

QLineEdit* Dialog::AddEdit(int id, const DialogRect& rect, bool readOnly, bool border) {
    auto* edit = AddControl(id, rect, new QLineEdit);
    edit->setReadOnly(readOnly);
    edit->setFrame(border);
    if (readOnly) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        edit->setPalette(palette);
    }
    return edit;
}

QPushButton* Dialog::AddButton(int id, std::string_view text, const DialogRect& rect, bool isDefault) {
    auto* button = AddControl(id, rect, new QPushButton(ToQString(text)));
    button->setDefault(isDefault);
    if (id == IDOK) connect(button, &QPushButton::clicked, this, [this] { OnOK(); });
    if (id == IDCANCEL) connect(button, &QPushButton::clicked, this, [this] { OnCancel(); });
    return button;
}

QCheckBox* Dialog::AddCheckBox(int id, std::string_view text, const DialogRect& rect) {
    return AddControl(id, rect, new QCheckBox(ToQString(text)));
}

QRadioButton* Dialog::AddRadioButton(int id, std::string_view text, const DialogRect& rect) {
    return AddControl(id, rect, new QRadioButton(ToQString(text)));
}

QSlider* Dialog::AddSlider(int id, const DialogRect& rect) {
    auto* slider = AddControl(id, rect, new QSlider(Qt::Horizontal));
    slider->setRange(0, 100);
    slider->setTickPosition(QSlider::NoTicks);
    return slider;
}

QProgressBar* Dialog::AddProgressBar(int id, const DialogRect& rect) {
    auto* bar = AddControl(id, rect, new QProgressBar);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

QFrame* Dialog::AddBlackFrame(int id, const DialogRect& rect) {
    auto* frame = AddControl(id, rect, new QFrame);
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setLineWidth(1);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    frame->setPalette(palette);
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    return frame;
}

ScrollBar* Dialog::AddScrollBar(int id, const DialogRect& rect) {
    auto* bar = AddControl(id, rect, new ScrollBar);
    connect(bar, &ScrollBar::hscroll, this, [this, bar](int code, int position) { OnHScroll(code, position, bar); });
    return bar;
}

SpinButton* Dialog::AddSpinButton(int id, const DialogRect& rect) {
    auto* spin = AddControl(id, rect, new SpinButton);
    connect(spin, &SpinButton::hscroll, this,
            [this, spin](int code, int position) { OnHScroll(code, position, spin); });
    return spin;
}
