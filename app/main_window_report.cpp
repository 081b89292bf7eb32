// "Save report...": the window's analysis as a one-page PDF, or with a
// project open the whole ring's.
#include "project/local_time.h"
#include "ui/axis_strip.h"
#include "ui/ring_dialogs.h"

#include "app/file_commands.h"
#include "app/main_window.h"
#include "data/number_text.h"
#include "tuning/tuning_text.h"
#include "ui/decay_view.h"
#include "ui/report_pdf.h"
#include "ui/toolkit/file_dialog.h"
#include "ui/toolkit/message_box.h"

void MainWindow::OnSaveReport() {
    bool wholeRing = false;
    if (project_.IsOpen()) {
        ReportChoiceDialog choice;
        if (choice.DoModal() != IDOK) return;
        wholeRing = choice.wholeRing;
    }
    std::string path;
    if (!SaveFileDialog(this, "PDF files (*.pdf)|*.pdf|", "pdf", "", path)) return;
    if (wholeRing) {
        if (!WriteRingReportPdf(path, MakeRingReport())) MessageBox(this, kErrorWritingFile);
        return;
    }
    const Bell& bell = session.Current();
    const TuningReport& tuning = bell.tuning;
    ReportPage page;
    const std::string now = LocalTimeIso8601(std::chrono::system_clock::now());
    page.made = now;
    if (project_.IsOpen() && !shownPass_.empty()) page.bellPass = kept_.ring.name + ": " + shownPass_;
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
    page.axisColumns = page.spectrum.width();
    page.axis = AxisTicks(AxisSpan{bell.spectrum.startFrequency, bell.spectrum.interval, view.firstBin, view.binsPerPixel,
                                   view.pixelsPerPoint, page.axisColumns},
                          static_cast<int>(AxisStrip::kMinLabelSpacing * view.pixelRatio));
    page.table = &bell.table;
    page.tuning = MakeTuningRows(tuning, bell.strikes, toleranceCents);
    page.strike = tuning.partials.empty() ? "No tuning report." : StrikeNoteText(tuning);
    for (const TuningWarning& warning : tuning.warnings) page.warnings.push_back(WarningLine(warning));
    page.status = bell.tuningStatus + " " + AveragingText(bell.strikes);
    page.decay = Decay(false).Curves();
    if (!WriteReportPdf(path, page)) MessageBox(this, kErrorWritingFile);
}

RingReport MainWindow::MakeRingReport() const {
    RingReport report;
    OuterTuning outer;
    report.ring = MakeRingTableGrid(&outer);
    report.title = RingTitle(outer);
    const RingSettings& ring = kept_.ring;
    const char* scale = ring.scale == RingScale::Major ? "major" : "chromatic";
    const char* temperaments[] = {"equal", "just", "meantone", "founder's figures"};
    report.lines = {std::string("Scale ") + scale + ", temperament " +
                        temperaments[static_cast<int>(ring.temperament)] +
                        (ring.founderFile.empty() ? "" : " (" + ring.founderFile + ")") + ", stretch " +
                        FormatDouble15(ring.stretchCentsPerOctave) + " cents per octave, tolerance " +
                        FormatDouble15(ring.toleranceCents) + " cents, inner tuning against the " +
                        session.Ideal().name + " ideal; figures in " + std::string(UnitsName(units_)),
                    "Made " + LocalTimeIso8601(std::chrono::system_clock::now()) + " from " + project_.Path()};
    for (const RingBell& bell : kept_.bells) {
        RingReportBell shown;
        MakeHistory(bell.number, shown.history, &shown.curves);
        if (shown.history.rows.empty()) continue;
        shown.title = "Bell " + std::to_string(bell.number) + (bell.label.empty() ? "" : " (" + bell.label + ")");
        report.bells.push_back(std::move(shown));
    }
    return report;
}
