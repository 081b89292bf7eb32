#pragma once
#include <QImage>
#include <string>
#include <vector>

#include "tuning/decay_curves.h"
#include "ui/plot_axis.h"
#include "ui/tuning_rows.h"

class PartialTable;

// A tuning report as PDF (a page, and a page of decay plots after it when
// there are decay curves), written by Qt's own PDF writer: what a
// tuner sends to the founder or the bell's owner. User-interface thread.

struct ReportPage {
    std::string made;                     // when the report was made (local time, ISO 8601)
    std::string bellPass;                 // the ring, bell and pass of a kept measurement; "" otherwise
    std::string source;                   // the sound file, or when the bell was recorded
    std::vector<std::string> parameters;  // one line each
    QImage spectrum;                      // the plot as the window shows it
    std::vector<AxisTick> axis;           // the frequency axis under it, in the picture's columns
    int axisColumns = 0;                  // the picture's width in those columns
    const PartialTable* table = nullptr;  // the partial table
    std::vector<TuningRow> tuning;        // the tuning panel's rows
    std::string strike;                   // the strike-note line
    std::vector<std::string> warnings;    // one line each, under the strike note
    std::string status;                   // what the tuning was measured from
    std::vector<DecayCurve> decay;        // a page of small decay plots after the first; none when empty
};

// Draws the page onto an A4 PDF and saves it at `path` through a temporary
// file, so a failure leaves any earlier file as it was. False when the PDF
// could not be made or written.
bool WriteReportPdf(const std::string& path, const ReportPage& page);

// The same page as PDF bytes (empty on failure).
std::string ReportPdfBytes(const ReportPage& page);
