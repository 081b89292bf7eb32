#include "ui/ring_dialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "data/number_text.h"
#include "ring/scale_targets.h"
#include "ui/toolkit/data_exchange.h"

namespace {

// An optional number in edit `id`: empty text is none.
void ExchangeOptional(DataExchange& dx, int id, std::optional<double>& value) {
    if (dx.Failed()) return;
    QLineEdit* edit = dx.PrepareEdit(id);
    if (edit == nullptr) return;
    if (!dx.saveAndValidate) {
        edit->setText(value ? QString::fromStdString(FormatDouble15(*value)) : QString());
        return;
    }
    const std::string text = edit->text().trimmed().toStdString();
    double read = 0.0;
    if (text.empty()) {
        value.reset();
    } else if (ParseWholeDouble(text, read)) {
        value = read;
    } else {
        dx.Fail(NotANumberText());
    }
}

void ExchangeIndex(DataExchange& dx, int id, int& index) {
    auto* combo = qobject_cast<QComboBox*>(dx.dialog.GetDlgItem(id));
    if (dx.Failed() || combo == nullptr) return;
    if (dx.saveAndValidate) {
        index = combo->currentIndex();
    } else {
        combo->setCurrentIndex(index);
    }
}

}  // namespace

RingSettingsDialog::RingSettingsDialog(const RingSettings& ring, bool newProject)
    : Dialog(nullptr), ring(ring), newProject_(newProject), founderFile_(ring.founderFile) {
    const int height = newProject ? 74 : 182;
    SetTemplate(230, height, newProject ? "New project" : "Ring settings");
    const int labelWidth = 80;
    AddStatic(IDC_STATIC, "Ring (tower)", {7, 9, labelWidth, 8});
    AddEdit(kName, {90, 7, 133, 12}, false);
    AddStatic(IDC_STATIC, "Place", {7, 24, labelWidth, 8});
    AddEdit(kPlace, {90, 22, 133, 12}, false);
    AddStatic(IDC_STATIC, "Number of bells", {7, 39, labelWidth, 8});
    AddEdit(kBells, {90, 37, 40, 12}, false);
    if (!newProject) {
        AddStatic(IDC_STATIC, "Reference A (Hz)", {7, 54, labelWidth, 8});
        AddEdit(kPitch, {90, 52, 40, 12}, false);
        AddStatic(IDC_STATIC, "Scale", {7, 69, labelWidth, 8});
        AddControl(kScale, {90, 67, 80, 12}, new QComboBox)->addItems({"major", "chromatic"});
        AddStatic(IDC_STATIC, "Temperament", {7, 84, labelWidth, 8});
        AddControl(kTemperament, {90, 82, 80, 12}, new QComboBox)->addItems({"equal", "just", "meantone", "founder's file"});
        AddStatic(IDC_STATIC, "Founder's file", {7, 99, labelWidth, 8});
        AddEdit(kFounderFile, {90, 97, 133, 12}, false);
        AddStatic(IDC_STATIC, "Stretch (cents/octave)", {7, 114, labelWidth, 8});
        AddEdit(kStretch, {90, 112, 40, 12}, false);
        AddStatic(IDC_STATIC, "Anchor bell (0: tenor)", {7, 129, labelWidth, 8});
        AddEdit(kAnchor, {90, 127, 40, 12}, false);
        AddStatic(IDC_STATIC, "Tolerance (cents)", {7, 144, labelWidth, 8});
        AddEdit(kTolerance, {90, 142, 40, 12}, false);
    }
    AddButton(IDOK, "OK", {7, height - 20, 50, 14}, true);
    AddButton(IDCANCEL, "Cancel", {63, height - 20, 50, 14});
}

bool RingSettingsDialog::OnInitDialog() {
    const bool ok = Dialog::OnInitDialog();
    if (auto* temperament = Item<QComboBox>(kTemperament)) {
        auto follow = [this](int index) { EnableWindow(kFounderFile, index == 3); };
        connect(temperament, &QComboBox::currentIndexChanged, this, follow);
        follow(temperament->currentIndex());
    }
    return ok;
}

void RingSettingsDialog::DoDataExchange(DataExchange& dx) {
    DDX_Text(dx, kName, ring.name);
    DDX_Text(dx, kPlace, ring.place);
    DDX_Text(dx, kBells, ring.bellCount);
    DDV_MinMaxDouble(dx, ring.bellCount, 1, 64);
    if (newProject_) return;
    DDX_Text(dx, kPitch, ring.referencePitchHz);
    DDV_MinMaxDouble(dx, ring.referencePitchHz, 100.0, 1000.0);
    int scale = ring.scale == RingScale::Chromatic ? 1 : 0;
    ExchangeIndex(dx, kScale, scale);
    int temperament = static_cast<int>(ring.temperament);
    ExchangeIndex(dx, kTemperament, temperament);
    DDX_Text(dx, kFounderFile, founderFile_);
    DDX_Text(dx, kStretch, ring.stretchCentsPerOctave);
    DDV_MinMaxDouble(dx, ring.stretchCentsPerOctave, -200.0, 200.0);
    DDX_Text(dx, kAnchor, ring.anchorBell);
    DDV_MinMaxDouble(dx, ring.anchorBell, 0, ring.bellCount);
    DDX_Text(dx, kTolerance, ring.toleranceCents);
    DDV_MinMaxDouble(dx, ring.toleranceCents, 0.1, 1200.0);
    if (dx.Failed() || !dx.saveAndValidate) return;
    ring.scale = scale == 1 ? RingScale::Chromatic : RingScale::Major;
    ring.temperament = static_cast<Temperament>(temperament);
    ring.founderTargets.clear();
    ring.founderFile.clear();
    if (ring.temperament != Temperament::Founder) return;
    std::int16_t code = 0;
    int line = 0;
    dx.PrepareEdit(kFounderFile);
    if (!ReadFounderTargets(founderFile_, ring.founderTargets, code, line)) {
        dx.Fail((line > 0 ? founderFile_ + ":" + std::to_string(line) : founderFile_) + ": " + FounderFileErrorText(code));
        return;
    }
    ring.founderFile = founderFile_;
}

BellDetailsDialog::BellDetailsDialog(const RingBell& bell) : Dialog(nullptr), bell(bell) {
    SetTemplate(200, 104, "Bell " + std::to_string(bell.number));
    AddStatic(IDC_STATIC, "Label", {7, 9, 80, 8});
    AddEdit(kLabel, {90, 7, 103, 12}, false);
    AddStatic(IDC_STATIC, "Weight (kg)", {7, 24, 80, 8});
    AddEdit(kWeight, {90, 22, 50, 12}, false);
    AddStatic(IDC_STATIC, "Diameter (mm)", {7, 39, 80, 8});
    AddEdit(kDiameter, {90, 37, 50, 12}, false);
    AddStatic(IDC_STATIC, "Target (cents)", {7, 54, 80, 8});
    AddEdit(kTarget, {90, 52, 50, 12}, false);
    AddCheckBox(kFixed, "May not be tuned", {7, 68, 120, 10});
    AddButton(IDOK, "OK", {7, 84, 50, 14}, true);
    AddButton(IDCANCEL, "Cancel", {63, 84, 50, 14});
}

void BellDetailsDialog::DoDataExchange(DataExchange& dx) {
    DDX_Text(dx, kLabel, bell.label);
    ExchangeOptional(dx, kWeight, bell.weightKg);
    ExchangeOptional(dx, kDiameter, bell.diameterMm);
    ExchangeOptional(dx, kTarget, bell.targetCents);
    DDX_Check(dx, kFixed, bell.mayNotBeTuned);
}

KeepDialog::KeepDialog(const std::vector<RingBell>& bells, int bell, std::function<std::string(int)> nextLabel)
    : Dialog(nullptr), bell(bell), nextLabel_(std::move(nextLabel)) {
    SetTemplate(200, 58, "Keep");
    AddStatic(IDC_STATIC, "Bell", {7, 9, 40, 8});
    auto* list = AddControl(kBell, {50, 7, 143, 12}, new QComboBox);
    for (const RingBell& b : bells) {
        list->addItem(QString::fromStdString(std::to_string(b.number) + (b.label.empty() ? "" : "  " + b.label)));
    }
    AddStatic(IDC_STATIC, "Pass", {7, 24, 40, 8});
    AddEdit(kPass, {50, 22, 143, 12}, false);
    AddButton(IDOK, "OK", {7, 38, 50, 14}, true);
    AddButton(IDCANCEL, "Cancel", {63, 38, 50, 14});
}

bool KeepDialog::OnInitDialog() {
    pass = nextLabel_(bell);
    const bool ok = Dialog::OnInitDialog();
    connect(Item<QComboBox>(kBell), &QComboBox::currentIndexChanged, this, [this](int index) {
        Item<QLineEdit>(kPass)->setText(QString::fromStdString(nextLabel_(index + 1)));
    });
    return ok;
}

void KeepDialog::DoDataExchange(DataExchange& dx) {
    int index = bell - 1;
    ExchangeIndex(dx, kBell, index);
    DDX_Text(dx, kPass, pass);
    if (dx.Failed() || !dx.saveAndValidate) return;
    bell = index + 1;
    if (pass.empty()) {
        dx.PrepareEdit(kPass);
        dx.Fail("Please name the pass.");
    }
}

ReportChoiceDialog::ReportChoiceDialog() : Dialog(nullptr) {
    SetTemplate(160, 56, "Save report");
    AddRadioButton(kThisBell, "The bell on screen", {7, 7, 140, 10});
    AddRadioButton(kWholeRing, "The whole ring, with each bell's history", {7, 20, 146, 10});
    AddButton(IDOK, "OK", {7, 36, 50, 14}, true);
    AddButton(IDCANCEL, "Cancel", {63, 36, 50, 14});
}

void ReportChoiceDialog::DoDataExchange(DataExchange& dx) {
    if (dx.saveAndValidate) {
        wholeRing = GetCheckedRadioButton(kThisBell, kWholeRing) == kWholeRing;
    } else {
        CheckRadioButton(kThisBell, kWholeRing, wholeRing ? kWholeRing : kThisBell);
    }
}
