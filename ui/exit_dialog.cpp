#include "ui/exit_dialog.h"

#include <QLabel>

ExitDialog::ExitDialog() : Dialog(nullptr) {
    SetTemplate(132, 58, "Exiting Campanor");
    AddStatic(IDC_STATIC, "About to exit Campanor", {24, 7, 84, 11})->setAlignment(Qt::AlignCenter);
    AddStatic(IDC_STATIC, "Unsaved data will be lost!", {24, 20, 84, 11})->setAlignment(Qt::AlignCenter);
    AddButton(IDOK, "OK", {7, 37, 44, 14}, true);
    AddButton(IDCANCEL, "Cancel and return", {63, 37, 62, 14});
}
