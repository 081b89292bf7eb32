#include "ui/toolkit/dialog.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTimerEvent>

#include "ui/toolkit/data_exchange.h"

Dialog::Dialog(QWidget* parent) : QDialog(parent) {
    // The templates were laid out for a narrow sans-serif font; these have
    // its proportions (the first one installed is used). 9 points is what
    // today's desktops use for their own controls, and leaves the fixed-size
    // parts of controls (check marks, frames) room beside their texts.
    QFont dialogFont = font();
    dialogFont.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                            QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans Condensed")});
    dialogFont.setPointSize(9);
    setFont(dialogFont);
    units_ = DialogUnits(dialogFont);
}

int Dialog::DoModal() {
    ended_ = false;
    endResult_ = IDCANCEL;
    OnInitDialog();
    if (ended_) return endResult_;
    exec();
    // Every way out goes through EndDialog; anything else counts as cancel.
    return ended_ ? endResult_ : IDCANCEL;
}

bool Dialog::Create() {
    ended_ = false;
    endResult_ = IDCANCEL;
    OnInitDialog();
    if (ended_) return false;
    show();
    return true;
}

void Dialog::EndDialog(int result) {
    ended_ = true;
    endResult_ = result;
    QDialog::done(result);
}

bool Dialog::UpdateData(bool saveAndValidate) {
    DataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    return !dx.Failed();
}

QWidget* Dialog::GetDlgItem(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

void Dialog::EnableWindow(int id, bool enable) {
    if (QWidget* control = GetDlgItem(id)) control->setEnabled(enable);
}

bool Dialog::IsWindowEnabled(int id) const {
    const QWidget* control = GetDlgItem(id);
    return control != nullptr && control->isEnabled();
}

void Dialog::CheckRadioButton(int first, int last, int check) {
    for (int id = first; id <= last; ++id) {
        if (auto* radio = Item<QRadioButton>(id)) {
            // Auto-exclusivity would refuse to clear the checked one.
            radio->setAutoExclusive(false);
            radio->setChecked(id == check);
            radio->setAutoExclusive(true);
        }
    }
}

int Dialog::GetCheckedRadioButton(int first, int last) const {
    for (int id = first; id <= last; ++id) {
        const auto* radio = Item<QRadioButton>(id);
        if (radio != nullptr && radio->isChecked()) return id;
    }
    return 0;
}

bool Dialog::SetTimer(int id, int milliseconds) {
    KillTimer(id);
    const int qtId = startTimer(milliseconds);
    if (qtId == 0) return false;
    timers_[id] = qtId;
    return true;
}

bool Dialog::KillTimer(int id) {
    const auto found = timers_.find(id);
    if (found == timers_.end()) return false;
    killTimer(found->second);
    timers_.erase(found);
    return true;
}

void Dialog::OnClicked(int id, std::function<void()> handler) {
    if (auto* button = Item<QAbstractButton>(id)) {
        connect(button, &QAbstractButton::clicked, this, [handler = std::move(handler)] { handler(); });
    }
}

void Dialog::OnKillFocus(int id, std::function<void()> handler) {
    if (QWidget* control = GetDlgItem(id)) {
        killFocusHandlers_[control] = std::move(handler);
        control->installEventFilter(this);
    }
}

void Dialog::OnReleasedCapture(int id, std::function<void()> handler) {
    if (QWidget* control = GetDlgItem(id)) {
        releaseHandlers_[control] = std::move(handler);
        control->installEventFilter(this);
    }
}

void Dialog::RestoreFocus(QWidget* control) {
    restoringFocus_ = true;
    control->setFocus(Qt::OtherFocusReason);
    restoringFocus_ = false;
    if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
}

bool Dialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const auto found = killFocusHandlers_.find(watched);
        // Another window taking the focus (a message box, a dialog) is not
        // the user leaving the edit; reacting to it would stack boxes.
        if (found != killFocusHandlers_.end() && !restoringFocus_ && reason != Qt::ActiveWindowFocusReason &&
            reason != Qt::PopupFocusReason) {
            found->second();
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto found = releaseHandlers_.find(watched);
        if (found != releaseHandlers_.end()) found->second();
    }
    return QDialog::eventFilter(watched, event);
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void Dialog::OnClose() {
    OnCancel();
}

void Dialog::DoDataExchange(DataExchange&) {}

void Dialog::OnTimer(int) {}

void Dialog::OnHScroll(int, int, QWidget*) {}

void Dialog::OnLButtonDown(QPoint) {}

void Dialog::OnPostedMessage(unsigned) {}

void Dialog::accept() {
    OnOK();
}

void Dialog::reject() {
    OnCancel();
}

void Dialog::closeEvent(QCloseEvent* event) {
    // The dialog only ever goes away through EndDialog.
    event->ignore();
    OnClose();
}

void Dialog::timerEvent(QTimerEvent* event) {
    for (const auto& [id, qtId] : timers_) {
        if (qtId == event->timerId()) {
            OnTimer(id);
            return;
        }
    }
    QDialog::timerEvent(event);
}

void Dialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) OnLButtonDown(event->position().toPoint());
    QDialog::mousePressEvent(event);
}
