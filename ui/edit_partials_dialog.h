#pragma once
#include <array>

#include "ui/toolkit/dialog.h"

class PartialTable;

// Dialog 109 "Edit Partials": the whole partial table as a grid of 25 rows
// by 5 read-only cells (frequency in Hz, amplitude, cents, partial name,
// note) under the nominal frequency. All 25 rows are shown whatever the
// table's count; rows not in use show what the table holds there (0 and
// blank cells after a Clear). The grid shows the table as it is when the
// dialog opens and is not refreshed while it is open.
//
// The cells are read-only, so the table is never written back: "OK",
// Enter, Escape and the close box all leave it exactly as it was (reading
// the cells' 15-digit texts back would round its values).
//
// DoModal returns IDOK for "OK" or Enter, IDCANCEL for Escape or the close
// box. User-interface thread only.
class EditPartialsDialog : public Dialog {
public:
    // `table` belongs to the caller and must outlive the dialog.
    explicit EditPartialsDialog(const PartialTable& table, QWidget* parent = nullptr);

    static constexpr int kDialogId = 109;
    static constexpr int kNominalId = 1048;
    static constexpr int kColumns = 5;
    static constexpr int kRows = 25;
    // Cell ids by row (0 ... 24) and column: Freq. (Hz), Amplitude, Cents,
    // Partial, Note.
    static const std::array<std::array<int, kColumns>, kRows> kCellIds;

protected:
    // Pushes the table to the cells; reading back does nothing.
    void DoDataExchange(DataExchange& dx) override;

private:
    void BuildTemplate();

    const PartialTable& table;
};
