#pragma once
#include <string>
#include <vector>

#include "ui/history_plot.h"
#include "ui/text_grid.h"

// The ring's report as PDF: the outer and inner tuning of every bell, then
// each measured bell's history with its spectra overlaid, on as many
// landscape A4 pages as it needs (a table that runs over a page goes on
// with its titles repeated). What a tuner sends the bell's owner after a
// tuning. User-interface thread.

struct RingReportBell {
    std::string title;  // "Bell 3 (tenor)"
    TextGrid history;   // MakeHistoryGrid
    std::vector<HistoryPlot::Curve> curves;
};

struct RingReport {
    std::string title;               // the ring's name, place, bells and pitch
    std::vector<std::string> lines;  // settings, date, the project's file
    TextGrid ring;                   // MakeRingGrid
    std::vector<RingReportBell> bells;
};

// The report as PDF bytes (empty on failure).
std::string RingReportPdfBytes(const RingReport& report);

// Writes the report at `path` through a temporary file, so a failure leaves
// an earlier file as it was. False when it could not be made or written.
bool WriteRingReportPdf(const std::string& path, const RingReport& report);
