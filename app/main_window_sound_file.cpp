// "Analyse file..." and files dropped on the window: a sound file analysed
// exactly as a live recording, through the same trigger (automatic, a
// quarter of the file's largest sample, as the command-line analyser takes
// it), the same record length and the same analysis.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <new>

#include "app/main_window.h"
#include "audio/recorder.h"
#include "cycle/analyse_recording.h"
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
    if (recorder.State() != RecorderState::Stopped || analysing) return false;
    if (!ReadAnalysisParameters()) return false;
    SetRecordingStretch(request, request.interval);
    // Captured apart from the live recorder, which keeps delivering its
    // blocks meanwhile (only for the level meter while stopped).
    Recording file;
    FileCapture capture;
    std::uint16_t code = kFileUnreadable;
    try {
        code = CaptureSoundFile(path, request.recordLength, true, true, triggerLevel, file, capture);
    } catch (const std::bad_alloc&) {
        capture.readError = "not enough memory";
    }
    if (code != kFileCaptured) {
        const std::string reason = capture.readError.empty() ? "" : " (" + capture.readError + ")";
        MessageBox(this, path + ": " + FileCaptureText(code) + reason);
        return false;
    }
    recording = file;
    analysedRecording = file;
    soundState = SoundState::Recorded;
    request.waveFileName = path;
    samplesRecorded = recording.Length();
    recordingFacts = DescribeRecording(recording);
    recordedSamples = recording.Length();
    if (!PrepareAnalysis(analysedRecording, speedAdjust, request, spectrum, table)) return false;
    analysing = true;
    Refresh();
    const bool completed = AnalyseUnderProgress();
    analysing = false;
    if (completed) {
        // A file too short for the record length is named by the report's "padded" warning.
        tuningStatus = "Measured from " + path + (capture.cut ? " (its first 12.7 minutes)." : ".");
        ShowTuning();
    }
    Refresh();
    return completed;
}

void MainWindow::OpenGivenFile(const std::string& path) {
    if (path.ends_with(".campanor")) {
        MessageBox(this, path + ": this version of Campanor cannot open project files.");
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
