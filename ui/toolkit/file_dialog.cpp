#include "ui/toolkit/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "ui/toolkit/dialog_hooks.h"
#include "ui/toolkit/message_box.h"

QString FileFilterToQt(std::string_view filter) {
    const std::size_t bar = filter.find('|');
    const std::string_view description = filter.substr(0, bar);
    std::string patterns;
    if (bar != std::string_view::npos) {
        std::string_view rest = filter.substr(bar + 1);
        patterns = std::string(rest.substr(0, rest.find('|')));
    }
    for (char& c : patterns) {
        if (c == ';') c = ' ';
    }
    std::string result(description);
    const std::string suffix = "(" + patterns + ")";
    const bool hasSuffix = result.size() >= suffix.size() &&
                           result.compare(result.size() - suffix.size(), suffix.size(), suffix) == 0;
    if (!patterns.empty() && !hasSuffix) result += " " + suffix;
    return QString::fromStdString(result);
}

std::string ApplyDefaultExtension(std::string_view path, std::string_view extension) {
    std::string result(path);
    const std::size_t slash = result.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (!extension.empty() && result.find('.', nameStart) == std::string::npos) {
        result += ".";
        result += extension;
    }
    return result;
}

namespace {

bool HookedAnswer(DialogHooks& hooks, const FileDialogRequest& request, std::string& path) {
    std::string answer;
    if (!hooks.AnswerFileDialog(request, answer)) return false;
    path = ApplyDefaultExtension(answer, request.defaultExtension);
    return true;
}

// Qt's save dialog takes a name in a folder that does not exist, and the
// save would then fail after the dialog has gone: this one says so and
// stays open for a better name.
class SaveDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    void accept() override {
        const QStringList files = selectedFiles();
        const QDir folder = files.isEmpty() ? QDir() : QFileInfo(files.front()).dir();
        if (!folder.exists()) {
            MessageBox(this, "The folder does not exist:\n" + folder.path().toStdString());
            return;
        }
        QFileDialog::accept();
    }
};

bool RunFileDialog(QFileDialog& dialog, std::string& path) {
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return false;
    path = files.front().toStdString();
    return true;
}

}  // namespace

bool SaveFileDialog(QWidget* owner, std::string_view filter, std::string_view defaultExtension,
                    std::string_view initialName, std::string& path) {
    if (DialogHooks* hooks = CurrentDialogHooks()) {
        return HookedAnswer(*hooks,
                            {true, std::string(filter), std::string(defaultExtension),
                             std::string(initialName)},
                            path);
    }
    SaveDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(FileFilterToQt(filter));
    dialog.setDefaultSuffix(QString::fromUtf8(defaultExtension.data(), qsizetype(defaultExtension.size())));
    if (!initialName.empty()) {
        dialog.selectFile(QString::fromUtf8(initialName.data(), qsizetype(initialName.size())));
    }
    return RunFileDialog(dialog, path);
}

bool OpenFileDialog(QWidget* owner, std::string_view filter, std::string_view defaultExtension,
                    std::string& path) {
    if (DialogHooks* hooks = CurrentDialogHooks()) {
        return HookedAnswer(*hooks, {false, std::string(filter), std::string(defaultExtension), {}},
                            path);
    }
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(FileFilterToQt(filter));
    dialog.setDefaultSuffix(QString::fromUtf8(defaultExtension.data(), qsizetype(defaultExtension.size())));
    return RunFileDialog(dialog, path);
}
