#include "ui/ring_grid.h"

#include "data/number_text.h"
#include "tuning/tuning_text.h"

namespace {

std::string Shown(const std::optional<double>& cents, TuningUnits units) {
    return cents ? UnitsText(*cents, units) : "-";
}

std::string HzText(const std::optional<double>& hz) { return hz ? FixedText(*hz, 3) : "-"; }

// A partial's inner figure, with its companion's when it is split.
GridCell InnerCell(const InnerPartial& p, InnerFigures figures, TuningUnits units, double toleranceCents) {
    const std::optional<double>& figure = figures == InnerFigures::Deviation ? p.deviationCents : p.centsFromNominal;
    GridCell cell{Shown(figure, units), Standing::None};
    if (figures == InnerFigures::Deviation) cell.standing = StandingOf(p.deviationCents, toleranceCents);
    if (figure && p.doubletCents && p.centsFromNominal) {
        cell.text += " / " + UnitsText(*figure + *p.doubletCents - *p.centsFromNominal, units);
    }
    return cell;
}

std::string WarningCodes(const std::vector<TuningWarning>& warnings) {
    std::string codes;
    for (const TuningWarning& w : warnings) {
        if (codes.find(w.code) != std::string::npos) continue;
        codes += (codes.empty() ? "" : " ") + w.code;
    }
    return codes;
}

}  // namespace

TextGrid MakeRingGrid(const OuterTuning& outer, const std::vector<InnerTuningRow>& inner,
                      const std::vector<std::string>& passes, TuningUnits units, InnerFigures figures) {
    TextGrid grid;
    grid.titles = {"Bell", "Label", "Pass", "Nominal (Hz)", "Note", "From anchor", "Target", "Deviation", "Strike (Hz)"};
    for (Partial p : kRingPartialOrder) grid.titles.emplace_back(NameOf(p));
    grid.titles.emplace_back("Warnings");
    for (std::size_t i = 0; i < outer.rows.size(); ++i) {
        const OuterTuningRow& row = outer.rows[i];
        const auto index = static_cast<std::size_t>(row.bell - 1);
        std::vector<GridCell> cells = {
            {std::to_string(row.bell) + (row.bell == outer.anchorBell ? " (anchor)" : "")},
            {row.label + (row.mayNotBeTuned ? " (not to be tuned)" : "")},
            {index < passes.size() ? passes[index] : ""},
            {HzText(row.nominalHz)},
            {row.note ? row.note->name + " " + UnitsText(row.note->cents, units) : "-"},
            {Shown(row.centsFromAnchor, units)},
            {Shown(row.targetCents, units)},
            {Shown(row.deviationCents, units), StandingOf(row.deviationCents, outer.toleranceCents)},
            {row.strike ? FixedText(row.strike->frequencyHz, 3) : "-"},
        };
        for (std::size_t p = 0; p < kRingPartialOrder.size(); ++p) {
            cells.push_back(i < inner.size() ? InnerCell(inner[i].partials[p], figures, units, outer.toleranceCents)
                                             : GridCell{"-"});
        }
        cells.push_back({WarningCodes(row.warnings)});
        grid.rows.push_back(std::move(cells));
    }
    return grid;
}

TextGrid MakeHistoryGrid(const std::vector<std::string>& passes, const std::array<HistoryRow, kNamedPartials>& rows,
                         TuningUnits units, double toleranceCents) {
    TextGrid grid;
    grid.titles = {"Partial"};
    for (const std::string& pass : passes) {
        grid.titles.push_back(pass);
        grid.titles.push_back("Change");
    }
    grid.titles.emplace_back("Remains");
    for (const HistoryRow& row : rows) {
        std::vector<GridCell> cells = {{std::string(NameOf(row.partial))}};
        for (const HistoryCell& cell : row.cells) {
            cells.push_back({cell.frequencyHz ? FixedText(*cell.frequencyHz, 3) + " Hz, " + Shown(cell.centsFromNominal, units)
                                              : "-"});
            cells.push_back({Shown(cell.changeCents, units)});
        }
        cells.push_back({Shown(row.remainingCents, units), StandingOf(row.remainingCents, toleranceCents)});
        grid.rows.push_back(std::move(cells));
    }
    return grid;
}
