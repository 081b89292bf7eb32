#include "ui/toolkit/message_box.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <string>

#include "ui/toolkit/dialog_hooks.h"

namespace {

QString& StoredTitle() {
    static QString title;  // user-interface thread only
    return title;
}

}  // namespace

QString ApplicationTitle() {
    return StoredTitle().isEmpty() ? QGuiApplication::applicationName() : StoredTitle();
}

void SetApplicationTitle(const QString& title) {
    StoredTitle() = title;
}

void MessageBox(QWidget* owner, std::string_view text) {
    const QString caption = ApplicationTitle();
    if (DialogHooks* hooks = CurrentDialogHooks()) {
        hooks->ShowMessage(caption.toStdString(), text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, QString::fromUtf8(text.data(), qsizetype(text.size())),
                    QMessageBox::Ok, owner);
    box.exec();
}
