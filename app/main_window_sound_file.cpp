// "Analyse file..." and files dropped on the window: a sound file analysed
// exactly as a live recording, through the same trigger (automatic, a
// quarter of the file's largest sample, as the command-line analyser takes
// it), the same record length and the same analysis.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

#include "app/main_window.h"
#include "audio/recorder.h"
#include "cycle/file_capture.h"
#include "ui/toolkit/file_dialog.h"
#include "ui/toolkit/message_box.h"

using namespace MainWindowIds;

namespace {

const char* const kSoundFiles =
    "Sound files (*.wav *.flac *.ogg *.aif *.aiff *.au *.caf *.w64)|*.wav;*.flac;*.ogg;*.aif;*.aiff;*.au;*.caf;*.w64|";

// The one local file a drag carries, or empty.
QString DraggedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return {};
    return data->urls().front().isLocalFile() ? data->urls().front().toLocalFile() : QString();
}

}  // namespace

void MainWindow::OnAnalyseFile() {
    std::string path;
    if (OpenFileDialog(this, kSoundFiles, "", path)) AnalyseSoundFile(path);
}

bool MainWindow::AnalyseSoundFile(const std::string& path) {
    if (session.State() != SessionState::Idle) return false;
    if (!ReadAnalysisParameters()) return false;
    FileCapture capture;
    AnalysisOutcome outcome = AnalysisOutcome::Refused;
    // Captured apart from the live recorder, which keeps delivering its
    // blocks meanwhile (only for the level meter while stopped).
    const std::uint16_t code = session.AnalyseFile(
        path, parameters, triggerLevel,
        [this](SpectrumAnalyser& engine, const AnalysisRequest& request, const Recording& analysed, Spectrum& spectrum) {
            samplesRecorded = session.Current().recording.Length();
            Refresh();
            return RunAnalysisProgress(engine, request, analysed, spectrum);
        },
        capture, outcome);
    if (code != kFileCaptured) {
        const std::string reason = capture.readError.empty() ? "" : " (" + capture.readError + ")";
        MessageBox(this, path + ": " + FileCaptureText(code) + reason);
        return false;
    }
    ShowAnalysisResult(outcome);
    Refresh();
    return outcome == AnalysisOutcome::Named || outcome == AnalysisOutcome::Unnamed;
}

void MainWindow::OpenGivenFile(const std::string& path) {
    if (path.ends_with(".campanor")) {
        OpenProject(path);
        return;
    }
    if (IsWindowEnabled(kAnalyseFile)) AnalyseSoundFile(path);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!DraggedFile(event->mimeData()).isEmpty() && IsWindowEnabled(kAnalyseFile)) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = DraggedFile(event->mimeData());
    if (path.isEmpty() || !IsWindowEnabled(kAnalyseFile)) return;
    event->acceptProposedAction();
    AnalyseSoundFile(path.toStdString());
}
