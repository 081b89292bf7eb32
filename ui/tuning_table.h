#pragma once
#include <QColor>
#include <vector>

#include "ui/tuning_rows.h"

class QTableWidget;

// The tuning panel's table on screen and on paper. User-interface thread.

// Column headers: "Partial", "Frequency (Hz)", "Cents", "Ideal",
// "Deviation", "T60 (s)", "Doublet", "Mean (Hz)", "Mean deviation".
inline constexpr int kTuningColumns = 9;
const char* TuningColumnTitle(int column);

// The text of `column` of a row.
const std::string& TuningCell(const TuningRow& row, int column);

// The background of a deviation cell: green within the tolerance, amber
// beyond it, red beyond twice it; invalid (no colour) without a deviation.
QColor StandingColour(Standing standing);
// The standing a cell is coloured by (None for columns that are not deviations).
Standing CellStanding(const TuningRow& row, int column);

// A read-only table with the headers above, one row per TuningRow.
void SetUpTuningTable(QTableWidget& table);
void ShowTuningRows(QTableWidget& table, const std::vector<TuningRow>& rows);
