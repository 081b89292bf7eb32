#include "ui/tuning_table.h"

#include <QHeaderView>
#include <QTableWidget>

#include "ui/text_grid.h"

namespace {

constexpr const char* kTitles[kTuningColumns] = {"Partial", "Frequency (Hz)", "Cents", "Ideal", "Deviation",
                                                 "T60 (s)", "Doublet", "Mean (Hz)", "Mean deviation"};

}  // namespace

const char* TuningColumnTitle(int column) {
    return column >= 0 && column < kTuningColumns ? kTitles[column] : "";
}

const std::string& TuningCell(const TuningRow& row, int column) {
    const std::string* cells[kTuningColumns] = {&row.partial, &row.frequency, &row.cents,
                                                &row.ideal,   &row.deviation, &row.t60,
                                                &row.doublet, &row.mean,      &row.meanDeviation};
    static const std::string none;
    return column >= 0 && column < kTuningColumns ? *cells[column] : none;
}

QColor StandingColour(Standing standing) {
    switch (standing) {
        case Standing::Within: return QColor(170, 230, 170);
        case Standing::Beyond: return QColor(255, 200, 90);
        case Standing::FarBeyond: return QColor(255, 130, 130);
        case Standing::None: break;
    }
    return QColor();
}

Standing CellStanding(const TuningRow& row, int column) {
    if (column == 4) return row.standing;
    return column == 8 ? row.meanStanding : Standing::None;
}

void SetUpTuningTable(QTableWidget& table) {
    SetUpGridTable(table);
    table.setColumnCount(kTuningColumns);
    QStringList titles;
    for (int column = 0; column < kTuningColumns; ++column) titles << TuningColumnTitle(column);
    table.setHorizontalHeaderLabels(titles);
    table.setSelectionMode(QAbstractItemView::NoSelection);
    table.setFocusPolicy(Qt::NoFocus);
}

void ShowTuningRows(QTableWidget& table, const std::vector<TuningRow>& rows) {
    table.setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < table.rowCount(); ++r) {
        const TuningRow& row = rows[static_cast<std::size_t>(r)];
        for (int column = 0; column < kTuningColumns; ++column) {
            // Items are kept and rewritten: a panel refreshed after every
            // strike of a long session should not churn the heap.
            QTableWidgetItem* item = table.item(r, column);
            if (item == nullptr) {
                item = new QTableWidgetItem;
                item->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
                table.setItem(r, column, item);
            }
            item->setText(QString::fromStdString(TuningCell(row, column)));
            const QColor colour = StandingColour(CellStanding(row, column));
            item->setData(Qt::BackgroundRole, colour.isValid() ? QVariant(colour) : QVariant());
        }
    }
}
