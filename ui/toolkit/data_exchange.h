#pragma once
#include <string>

#include "ui/toolkit/dialog.h"

class QLineEdit;

// One pass of a dialog's exchange list (Dialog::UpdateData). The DDX_ and
// DDV_ functions below move one field each; once one of them has failed,
// every later one does nothing, so the rest of the pass is skipped.
// User-interface thread only.
class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saveAndValidate);

    Dialog& dialog;
    // false: fields to controls; true: controls to fields, with checks.
    const bool saveAndValidate;

    bool Failed() const { return failed_; }

    // The edit `id` as the control that a following range check refers
    // to; nullptr when there is no such edit.
    QLineEdit* PrepareEdit(int id);

    // Shows the toolkit's message `text`, puts the focus back on the last
    // prepared edit with its text selected, and fails the pass.
    void Fail(const std::string& text);

private:
    QLineEdit* lastEdit_ = nullptr;
    bool failed_ = false;
};

// The toolkit's standard messages.
std::string NotANumberText();                             // "Please enter a number."
std::string NotAnIntegerText();                           // "Please enter an integer."
std::string OutOfRangeText(double minimum, double maximum);  // names both bounds

// Edit `id` <-> value. A double is written in the shorter of fixed and
// exponent notation with at most 15 significant digits ("%.15g") and read
// with "%lf" rules in the C locale, surrounding white space allowed; an
// integer is written and read in decimal. Reading text that is not a
// (finite) number fails the pass and leaves the value as it was.
void DDX_Text(DataExchange& dx, int id, double& value);
void DDX_Text(DataExchange& dx, int id, int& value);
void DDX_Text(DataExchange& dx, int id, std::string& value);

// When reading: fails the pass if value < minimum or value > maximum (both
// bounds allowed). The value has already been stored by the DDX_Text
// before it. Does nothing when writing.
void DDV_MinMaxDouble(DataExchange& dx, double value, double minimum, double maximum);

// Check box `id` <-> value.
void DDX_Check(DataExchange& dx, int id, bool& value);

// Slider `id` position <-> value.
void DDX_Slider(DataExchange& dx, int id, int& value);

// Binds control `id` to `control` if it is not bound yet (in either
// direction); binding a bound control does nothing.
template <class T>
void DDX_Control(DataExchange& dx, int id, T*& control) {
    if (!dx.Failed() && control == nullptr) control = dx.dialog.Item<T>(id);
}
