#include "ui/calibration_dialog.h"

#include <QLabel>

#include "ui/toolkit/data_exchange.h"

CalibrationDialog::CalibrationDialog(double referenceHz) : Dialog(nullptr), referenceHz(referenceHz) {
    SetTemplate(186, 62, "Calibrate");
    AddStatic(IDC_STATIC, "Play a steady reference tone after OK; it is recorded for 3 s from the trigger.",
              {7, 7, 172, 18})->setWordWrap(true);
    AddStatic(IDC_STATIC, "Reference tone (Hz)", {7, 29, 70, 8});
    AddEdit(kReference, {80, 27, 50, 12}, false);
    AddButton(IDOK, "OK", {7, 43, 50, 14}, true);
    AddButton(IDCANCEL, "Cancel", {63, 43, 50, 14});
}

void CalibrationDialog::DoDataExchange(DataExchange& dx) {
    DDX_Text(dx, kReference, referenceHz);
    DDV_MinMaxDouble(dx, referenceHz, 20.0, 20000.0);
}

CalibrationResultDialog::CalibrationResultDialog(const std::string& measured, const std::string& where)
    : Dialog(nullptr) {
    SetTemplate(230, 74, "Calibrate");
    AddStatic(IDC_STATIC, measured, {7, 7, 216, 26})->setWordWrap(true);
    AddStatic(IDC_STATIC, "Keep it for the next start in " + where + "?",
              {7, 35, 216, 18})->setWordWrap(true);
    AddButton(IDOK, "Write it", {7, 55, 50, 14}, true);
    AddButton(IDCANCEL, "Close", {63, 55, 50, 14});
}
