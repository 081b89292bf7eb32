#pragma once
#include <string>
#include <vector>

#include "ui/tuning_rows.h"

class QTableWidget;

// A table of texts, some cells judged against a tolerance: what the ring's
// tables show in the window and print in the ring's report. The grid
// itself is plain data; filling a table widget needs the user-interface
// thread.
struct GridCell {
    std::string text;
    Standing standing = Standing::None;  // coloured as the tuning panel colours deviations
};

struct TextGrid {
    std::vector<std::string> titles;
    std::vector<std::vector<GridCell>> rows;  // each as long as `titles`
};

// A read-only table: columns sized to their contents, no row headers.
void SetUpGridTable(QTableWidget& table);
// `grid` into `table`: its titles, its cells and their colours.
void ShowTextGrid(QTableWidget& table, const TextGrid& grid);
