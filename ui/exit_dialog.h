#pragma once
#include "ui/toolkit/dialog.h"

// The exit confirmation (dialog 112, "Exiting Campanor"): "About to exit
// Campanor" / "Unsaved data will be lost!" with "OK" (IDOK, the default,
// also Enter) and "Cancel and return" (IDCANCEL, also Escape and the close
// box). No data of its own. Built on the stack with no parent, run with
// DoModal; user-interface thread.
class ExitDialog : public Dialog {
public:
    ExitDialog();
};
