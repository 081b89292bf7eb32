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
    if (SaveRecording(this, session.Current().analysed, saved)) {
        if (saved) session.MarkSaved();
        UpdateData(false);
    } else {
        MessageBox(this, kErrorWritingFile);
    }
}

void MainWindow::OnSavePartials() {
    // For an analysed sound file: its name in line 2 as the command-line
    // analyser writes it, and "bell.par" beside "bell.wav" offered.
    const Bell& bell = session.Current();
    std::string name = bell.request.waveFileName, offered = bell.request.waveFileName;
    if (!name.empty()) {
        name = SoundFileName(bell.request.waveFileName, bell.table.nominal);
        offered = std::filesystem::path(bell.request.waveFileName).replace_extension(".par").string();
    }
    if (!SavePartials(this, bell.table, name, offered)) MessageBox(this, kErrorWritingFile);
}

void MainWindow::OnReadPartials() {
    PartialTable read = session.Current().table;
    const std::int16_t code = ReadPartials(this, read);
    if (code != PartialsFileRead) {
        MessageBox(this, PartialsFileMessage(code));
        return;
    }
    session.TakePartials(read);
    shownPass_.clear();
    ShowMajorPartials();
    exchangeResults = true;
    UpdateData(false);
    view.Draw();
    EnableControls();
    ShowTuning();
}

void MainWindow::OnViewPartials() {
    EditPartialsDialog grid(session.Current().table);
    grid.DoModal();
}
