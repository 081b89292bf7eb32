#include "ui/toolkit/data_exchange.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSlider>
#include <charconv>

#include "data/number_text.h"
#include "ui/toolkit/message_box.h"

DataExchange::DataExchange(Dialog& owner, bool save) : dialog(owner), saveAndValidate(save) {}

QLineEdit* DataExchange::PrepareEdit(int id) {
    lastEdit_ = dialog.Item<QLineEdit>(id);
    return lastEdit_;
}

void DataExchange::Fail(const std::string& text) {
    MessageBox(&dialog, text);
    if (lastEdit_ != nullptr) dialog.RestoreFocus(lastEdit_);
    failed_ = true;
}

std::string NotANumberText() {
    return "Please enter a number.";
}

std::string NotAnIntegerText() {
    return "Please enter an integer.";
}

std::string OutOfRangeText(double minimum, double maximum) {
    return "Please enter a number between " + FormatDouble15(minimum) + " and " + FormatDouble15(maximum) + ".";
}

namespace {

// Writes only a changed text, and shows its start, as an edit does when
// its text is set: a periodic push must not disturb a selection.
void SetEditText(QLineEdit* edit, const std::string& text) {
    const QString newText = QString::fromStdString(text);
    if (edit->text() == newText) return;
    edit->setText(newText);
    edit->setCursorPosition(0);
}

bool ParseWholeInt(const std::string& text, int& value) {
    std::size_t begin = text.find_first_not_of(" \t\r\n\v\f");
    std::size_t end = text.find_last_not_of(" \t\r\n\v\f");
    if (begin == std::string::npos) return false;
    if (text[begin] == '+') ++begin;
    const char* first = text.data() + begin;
    const char* last = text.data() + end + 1;
    int parsed = 0;
    const auto result = std::from_chars(first, last, parsed);
    if (result.ec != std::errc() || result.ptr != last) return false;
    value = parsed;
    return true;
}

}  // namespace

void DDX_Text(DataExchange& dx, int id, double& value) {
    if (dx.Failed()) return;
    QLineEdit* edit = dx.PrepareEdit(id);
    if (edit == nullptr) return;
    if (!dx.saveAndValidate) {
        SetEditText(edit, FormatDouble15(value));
        return;
    }
    double parsed = 0.0;
    if (!ParseWholeDouble(edit->text().toStdString(), parsed)) {
        dx.Fail(NotANumberText());
        return;
    }
    value = parsed;
}

void DDX_Text(DataExchange& dx, int id, int& value) {
    if (dx.Failed()) return;
    QLineEdit* edit = dx.PrepareEdit(id);
    if (edit == nullptr) return;
    if (!dx.saveAndValidate) {
        SetEditText(edit, std::to_string(value));
        return;
    }
    if (!ParseWholeInt(edit->text().toStdString(), value)) dx.Fail(NotAnIntegerText());
}

void DDX_Text(DataExchange& dx, int id, std::string& value) {
    if (dx.Failed()) return;
    QLineEdit* edit = dx.PrepareEdit(id);
    if (edit == nullptr) return;
    if (dx.saveAndValidate) {
        value = edit->text().toStdString();
    } else {
        SetEditText(edit, value);
    }
}

void DDV_MinMaxDouble(DataExchange& dx, double value, double minimum, double maximum) {
    if (dx.Failed() || !dx.saveAndValidate) return;
    if (value < minimum || value > maximum) dx.Fail(OutOfRangeText(minimum, maximum));
}

void DDX_Check(DataExchange& dx, int id, bool& value) {
    if (dx.Failed()) return;
    auto* box = dx.dialog.Item<QAbstractButton>(id);
    if (box == nullptr) return;
    if (dx.saveAndValidate) {
        value = box->isChecked();
    } else {
        box->setChecked(value);
    }
}

void DDX_Slider(DataExchange& dx, int id, int& value) {
    if (dx.Failed()) return;
    auto* slider = dx.dialog.Item<QSlider>(id);
    if (slider == nullptr) return;
    if (dx.saveAndValidate) {
        value = slider->value();
    } else {
        slider->setValue(value);
    }
}
