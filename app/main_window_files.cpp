// The window's file and table commands: "Save recording", "Save partials",
// "Read partials" and "View partials".
#include <filesystem>

#include "app/file_commands.h"
#include "app/main_window.h"
#include "data/partials_file.h"
#include "ui/edit_partials_dialog.h"
#include "ui/toolkit/message_box.h"

void MainWindow::OnSaveRecording() {
    bool saved = false;
    if (SaveRecording(this, analysedRecording, saved)) {
        if (saved) soundState = SoundState::Saved;
        UpdateData(false);
    } else {
        MessageBox(this, kErrorWritingFile);
    }
}

void MainWindow::OnSavePartials() {
    // For an analysed sound file: its name in line 2 as the command-line
    // analyser writes it, and "bell.par" beside "bell.wav" offered.
    std::string name = request.waveFileName, offered = request.waveFileName;
    if (!name.empty()) {
        name = SoundFileName(request.waveFileName, table.nominal);
        offered = std::filesystem::path(request.waveFileName).replace_extension(".par").string();
    }
    if (!SavePartials(this, table, name, offered)) MessageBox(this, kErrorWritingFile);
}

void MainWindow::OnReadPartials() {
    const std::int16_t code = ReadPartials(this, table);
    if (code != PartialsFileRead) {
        MessageBox(this, PartialsFileMessage(code));
        return;
    }
    table.UpdateCentsAndNotes();
    ShowMajorPartials();
    exchangeResults = true;
    UpdateData(false);
    view.Draw();
    EnableControls();
    tuning = ReportFromTable(table, ideal);
    tuningStatus = "From the partials file alone: frequencies and cents as the file holds them; "
                   "without the sound there is no uncertainty, T60 or doublet.";
    ShowTuning();
}

void MainWindow::OnViewPartials() {
    EditPartialsDialog grid(table);
    grid.DoModal();
}
