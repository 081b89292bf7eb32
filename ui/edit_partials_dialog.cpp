#include "ui/edit_partials_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <string>

#include "partials/partial_table.h"
#include "ui/toolkit/data_exchange.h"

const std::array<std::array<int, EditPartialsDialog::kColumns>, EditPartialsDialog::kRows>
    EditPartialsDialog::kCellIds{{
        {1106, 1164, 1036, 1007, 1003}, {1005, 1165, 1108, 1008, 1109}, {1107, 1166, 1047, 1010, 1112},
        {1013, 1167, 1014, 1009, 1049}, {1017, 1168, 1018, 1067, 1050}, {1021, 1169, 1022, 1068, 1051},
        {1025, 1170, 1026, 1069, 1052}, {1046, 1171, 1027, 1117, 1053}, {1045, 1172, 1028, 1118, 1054},
        {1044, 1173, 1029, 1119, 1055}, {1066, 1174, 1030, 1120, 1056}, {1033, 1175, 1023, 1122, 1057},
        {1032, 1176, 1043, 1123, 1058}, {1031, 1177, 1019, 1124, 1059}, {1034, 1178, 1042, 1125, 1060},
        {1035, 1179, 1041, 1126, 1061}, {1064, 1180, 1075, 1127, 1080}, {1071, 1181, 1076, 1128, 1081},
        {1072, 1182, 1077, 1129, 1082}, {1073, 1183, 1078, 1130, 1083}, {1074, 1184, 1079, 1131, 1084},
        {1090, 1185, 1094, 1132, 1098}, {1091, 1186, 1095, 1133, 1099}, {1093, 1187, 1096, 1134, 1100},
        {1092, 1188, 1097, 1135, 1101},
    }};

namespace {

struct Heading {
    int id;
    const char* text;
    int x;
};
constexpr Heading kHeadings[EditPartialsDialog::kColumns] = {
    {1116, "Freq. (Hz)", 7}, {1136, "Amplitude", 53}, {1114, "Cents", 99},
    {1151, "Partial", 145},  {1115, "Note", 191},
};
constexpr int kCellWidth = 45;
constexpr int kCellHeight = 12;

}  // namespace

EditPartialsDialog::EditPartialsDialog(const PartialTable& table, QWidget* parent)
    : Dialog(parent), table(table) {
    // A 6-point font (8 px at 96 dpi), so that 15 digits nearly fit a cell.
    QFont small = font();
    small.setPixelSize(8);
    setFont(small);
    BuildTemplate();
}

void EditPartialsDialog::BuildTemplate() {
    SetTemplate(302, 333, "Edit Partials");
    AddStatic(1065, "Nominal Frequency (Hz)", {7, 9, 84, 10});
    AddEdit(kNominalId, {93, 7, 63, 12}, true);
    AddButton(IDOK, "OK", {245, 5, 50, 14}, true);
    for (const Heading& heading : kHeadings) {
        QLabel* label = AddStatic(heading.id, heading.text, {heading.x, 20, kCellWidth, kCellHeight});
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setAlignment(Qt::AlignCenter);
    }
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const DialogRect rect{kHeadings[column].x, 32 + kCellHeight * row, kCellWidth, kCellHeight};
            // Read-only edits stay in the tab order, so a value can be
            // selected and copied; long texts scroll inside the cell.
            AddEdit(kCellIds[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)], rect, true);
        }
    }
}

void EditPartialsDialog::DoDataExchange(DataExchange& dx) {
    if (dx.saveAndValidate) return;  // the cells cannot be edited: nothing to take back
    double nominal = table.nominal;
    DDX_Text(dx, kNominalId, nominal);
    for (std::size_t row = 0; row < kRows; ++row) {
        const std::array<int, kColumns>& ids = kCellIds[row];
        double frequency = table.frequency[row];
        double amplitude = table.tailAmplitude[row];
        double cents = table.cents[row];
        const std::int16_t index = table.partialIndex[row];
        std::string partial = index >= 0 && index <= NoPartial
                                  ? table.partialNames[static_cast<std::size_t>(index)]
                                  : std::string();
        std::string note = table.note[row];
        DDX_Text(dx, ids[0], frequency);
        DDX_Text(dx, ids[1], amplitude);
        DDX_Text(dx, ids[2], cents);
        DDX_Text(dx, ids[3], partial);
        DDX_Text(dx, ids[4], note);
    }
}
