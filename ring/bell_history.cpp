#include "ring/bell_history.h"

#include <cmath>

std::array<HistoryRow, kNamedPartials> MakeBellHistory(const std::vector<HistoryPass>& passes,
                                                        const IdealTuning& ideal) {
    std::array<HistoryRow, kNamedPartials> rows;
    std::vector<InnerTuningRow> inner;
    for (const HistoryPass& pass : passes) inner.push_back(MakeInnerTuning(0, pass.tuning, ideal));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        HistoryRow& row = rows[r];
        row.partial = kRingPartialOrder[r];
        for (std::size_t i = 0; i < passes.size(); ++i) {
            HistoryCell cell;
            if (const TunedPartial* p = FindPartial(passes[i].tuning, row.partial)) cell.frequencyHz = p->frequencyHz;
            cell.centsFromNominal = inner[i].partials[r].centsFromNominal;
            if (i > 0 && cell.frequencyHz && row.cells.back().frequencyHz) {
                cell.changeCents = 1200.0 * std::log2(*cell.frequencyHz / *row.cells.back().frequencyHz);
            }
            row.cells.push_back(cell);
        }
        if (passes.empty()) continue;
        const std::optional<double> deviation = row.partial == Partial::Nominal
                                                    ? passes.back().nominalDeviationCents
                                                    : inner.back().partials[r].deviationCents;
        if (deviation) row.remainingCents = -*deviation;
    }
    return rows;
}
