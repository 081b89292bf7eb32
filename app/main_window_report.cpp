// "Save report...": the window's analysis as a one-page PDF.
#include <QDateTime>

#include "app/file_commands.h"
#include "app/main_window.h"
#include "data/number_text.h"
#include "tuning/tuning_text.h"
#include "ui/decay_view.h"
#include "ui/report_pdf.h"
#include "ui/toolkit/file_dialog.h"
#include "ui/toolkit/message_box.h"

void MainWindow::OnSaveReport() {
    std::string path;
    if (!SaveFileDialog(this, "PDF files (*.pdf)|*.pdf|", "pdf", "", path)) return;
    const Bell& bell = session.Current();
    const TuningReport& tuning = bell.tuning;
    ReportPage page;
    const std::string now = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    page.source = !bell.request.waveFileName.empty() ? "Sound file: " + bell.request.waveFileName
                  : !analysedAt.empty()         ? "Recorded and analysed " + analysedAt
                                                : "Saved " + now;
    page.parameters = {
        "Band " + FormatDouble15(parameters.startFrequency) + " ... " + FormatDouble15(parameters.endFrequency) +
            " Hz at " + FormatDouble15(parameters.interval) + " Hz, speed adjust " +
            FormatDouble15(parameters.speedAdjust) + ", nominal sought in " + FormatDouble15(parameters.lowNominal) +
            " ... " + FormatDouble15(parameters.highNominal) + " Hz",
        "Ideal: " + session.Ideal().name + ", tolerance " + FormatDouble15(toleranceCents) + " cents"};
    page.spectrum = view.Picture();
    page.table = &bell.table;
    page.tuning = MakeTuningRows(tuning, bell.strikes, toleranceCents);
    page.strike = tuning.partials.empty() ? "No tuning report." : StrikeNoteText(tuning);
    for (const TuningWarning& warning : tuning.warnings) page.warnings.push_back(WarningLine(warning));
    page.status = bell.tuningStatus + " " + AveragingText(bell.strikes);
    page.decay = Decay(false).Curves();
    if (!WriteReportPdf(path, page)) MessageBox(this, kErrorWritingFile);
}
