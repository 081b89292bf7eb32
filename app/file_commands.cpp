#include "app/file_commands.h"

#include "data/partials_file.h"
#include "data/wave_file.h"
#include "ui/toolkit/file_dialog.h"
#include "ui/toolkit/wait_cursor.h"

namespace {

constexpr const char* kWaveFilter = "Waveform files (.wav)|*.wav|";
constexpr const char* kPartialsFilter = "Partials files (.par)|*.par|";

}  // namespace

bool SaveRecording(QWidget* owner, const Recording& recording, bool& saved) {
    std::string path;
    if (!SaveFileDialog(owner, kWaveFilter, "wav", "", path)) return true;
    if (!SaveWaveFile(path, recording)) return false;
    saved = true;
    return true;
}

bool SavePartials(QWidget* owner, const PartialTable& table, const std::string& waveFileName,
                  const std::string& offeredName) {
    std::string path;
    if (!SaveFileDialog(owner, kPartialsFilter, "par", offeredName, path)) return true;
    return SavePartialsFile(path, table, waveFileName);
}

std::int16_t ReadPartials(QWidget* owner, PartialTable& table) {
    std::string path;
    if (!OpenFileDialog(owner, kPartialsFilter, "", path)) return PartialsFileNotChosen;
    const WaitCursor wait;
    // Read into a copy: a file that turns out to be bad must not cost the
    // user the partials the window still shows and could still save.
    PartialTable read = table;
    const std::int16_t code = ReadPartialsFile(path, read);
    if (code == PartialsFileRead) table = read;
    return code;
}
