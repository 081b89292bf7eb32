#pragma once
#include <string>

#include "ui/toolkit/dialog.h"

// "Calibrate": the frequency of the reference tone the user is about to
// play (a tuning fork, a signal generator), "Reference tone (Hz)", checked
// to lie in 20 ... 20000 Hz, with "OK" (IDOK, the default) and "Cancel"
// (IDCANCEL). Built on the stack with no parent, run with DoModal;
// user-interface thread.
class CalibrationDialog : public Dialog {
public:
    explicit CalibrationDialog(double referenceHz);
    double referenceHz;  // in: the value offered; out after IDOK: the one typed
    static constexpr int kReference = 1400;

protected:
    void DoDataExchange(DataExchange& dx) override;
};

// The calibration's result: `measured` (the tone and the speed adjustment
// found, which the window has already put into "Speed Adjust") and the
// offer to keep it in the calibration file at `where`, with "Write it"
// (IDOK) and "Close" (IDCANCEL).
class CalibrationResultDialog : public Dialog {
public:
    CalibrationResultDialog(const std::string& measured, const std::string& where);
};
