// "Save report...": the window's analysis as a one-page PDF.
#include <QDateTime>

#include "app/file_commands.h"
#include "app/main_window.h"
#include "data/number_text.h"
#include "tuning/tuning_text.h"
#include "ui/report_pdf.h"
#include "ui/toolkit/file_dialog.h"
#include "ui/toolkit/message_box.h"

void MainWindow::OnSaveReport() {
    std::string path;
    if (!SaveFileDialog(this, "PDF files (*.pdf)|*.pdf|", "pdf", "", path)) return;
    ReportPage page;
    const std::string now = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    page.source = !request.waveFileName.empty() ? "Sound file: " + request.waveFileName
                  : !analysedAt.empty()         ? "Recorded and analysed " + analysedAt
                                                : "Saved " + now;
    page.parameters = {
        "Band " + FormatDouble15(request.startFrequency) + " ... " + FormatDouble15(request.endFrequency) +
            " Hz at " + FormatDouble15(request.interval) + " Hz, speed adjust " + FormatDouble15(speedAdjust) +
            ", nominal sought in " + FormatDouble15(lowNominal) + " ... " + FormatDouble15(highNominal) + " Hz",
        "Ideal: " + ideal.name + ", tolerance " + FormatDouble15(toleranceCents) + " cents"};
    page.spectrum = view.Picture();
    page.table = &table;
    page.tuning = MakeTuningRows(tuning, strikes, toleranceCents);
    page.strike = tuning.partials.empty() ? "No tuning report." : StrikeNoteText(tuning);
    for (const TuningWarning& warning : tuning.warnings) page.warnings.push_back(WarningLine(warning));
    page.status = tuningStatus + " " + AveragingText(strikes);
    if (!WriteReportPdf(path, page)) MessageBox(this, kErrorWritingFile);
}
