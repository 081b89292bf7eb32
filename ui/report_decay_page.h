#pragma once
#include <vector>

class QPainter;
class QPdfWriter;
class QString;
struct DecayCurve;

// The tuning report's page of decay curves: a small plot per named partial
// (its level in dB over time, the fitted line, the noise floor and T60),
// two to a row, on a new page after the current one. Nothing (not even the
// new page) without curves. User-interface thread; `painter` is active on
// `writer`. False when the new page could not be begun.
bool DrawDecayPage(QPdfWriter& writer, QPainter& painter, const std::vector<DecayCurve>& curves);

// A report page's heading at its top in 13-point bold; the painter's font
// is then `bodyPoints` regular for what follows.
void DrawReportHeading(QPainter& painter, const QString& heading, double bodyPoints);
