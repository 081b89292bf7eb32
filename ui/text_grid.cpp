#include "ui/text_grid.h"

#include <QHeaderView>
#include <QTableWidget>

#include "ui/tuning_table.h"

void SetUpGridTable(QTableWidget& table) {
    table.verticalHeader()->setVisible(false);
    table.verticalHeader()->setMinimumSectionSize(table.fontMetrics().height() + 2);
    table.verticalHeader()->setDefaultSectionSize(table.fontMetrics().height() + 2);
    table.horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Every column as wide as its contents; a wide window leaves the rest empty.
    table.horizontalHeader()->setStretchLastSection(false);
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setSelectionMode(QAbstractItemView::SingleSelection);
}

void ShowTextGrid(QTableWidget& table, const TextGrid& grid) {
    QStringList titles;
    for (const std::string& title : grid.titles) titles << QString::fromStdString(title);
    table.setColumnCount(static_cast<int>(grid.titles.size()));
    table.setHorizontalHeaderLabels(titles);
    table.setRowCount(static_cast<int>(grid.rows.size()));
    for (int r = 0; r < table.rowCount(); ++r) {
        const std::vector<GridCell>& row = grid.rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < table.columnCount() && c < static_cast<int>(row.size()); ++c) {
            const GridCell& cell = row[static_cast<std::size_t>(c)];
            auto* item = new QTableWidgetItem(QString::fromStdString(cell.text));
            const QColor colour = StandingColour(cell.standing);
            if (colour.isValid()) item->setBackground(colour);
            table.setItem(r, c, item);
        }
    }
}
