#include "ui/toolkit/message_box.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <string>

#include "ui/toolkit/ui_script.h"

QString ApplicationTitle() {
    return QGuiApplication::applicationDisplayName();
}

void MessageBox(QWidget* owner, std::string_view text) {
    const QString caption = ApplicationTitle();
    if (UiScript* script = CurrentUiScript()) {
        script->messages.push_back({caption.toStdString(), std::string(text)});
        if (script->whileMessageOpen) script->whileMessageOpen(script->messages.back());
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, QString::fromUtf8(text.data(), qsizetype(text.size())),
                    QMessageBox::Ok, owner);
    box.exec();
}
