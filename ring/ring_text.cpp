#include "ring/ring_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "data/comma_lines.h"
#include "data/number_text.h"
#include "tuning/tuning_text.h"

namespace {

// The csv's numbers, as the tool's csv writes them: the shortest text that
// reads back exactly, empty for a value not known.
std::string FormatShortest(const std::optional<double>& value) { return value ? ::FormatShortest(*value) : ""; }


std::string InUnitsOrDash(const std::optional<double>& cents, TuningUnits units) {
    return cents ? UnitsText(*cents, units) : "-";
}

std::string UnitsHeading(std::string_view heading, TuningUnits units) {
    return std::string(heading) + (units == TuningUnits::Sixteenths ? " (1/16)" : " (cents)");
}

// Lines of cells in columns two spaces apart, each as wide as its widest
// cell; numbers to the right, texts (`left`) to the left; no trailing blanks.
struct Column {
    std::string heading;
    bool left = false;
};

std::string Aligned(const std::vector<Column>& columns, const std::vector<std::vector<std::string>>& lines) {
    std::vector<std::size_t> widths;
    for (const Column& column : columns) widths.push_back(column.heading.size());
    for (const auto& cells : lines) {
        for (std::size_t c = 0; c < cells.size() && c < widths.size(); ++c) {
            widths[c] = std::max(widths[c], cells[c].size());
        }
    }
    const auto line = [&](const auto& cellAt) {
        std::string out;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::string cell = cellAt(c);
            const std::string padding(widths[c] - std::min(widths[c], cell.size()), ' ');
            out += (c == 0 ? "" : "  ") + (columns[c].left ? cell + padding : padding + cell);
        }
        out.erase(out.find_last_not_of(' ') + 1);
        return out + "\n";
    };
    std::string out = line([&](std::size_t c) { return columns[c].heading; });
    for (const auto& cells : lines) out += line([&](std::size_t c) { return c < cells.size() ? cells[c] : ""; });
    return out;
}

std::string WarningCodes(const std::vector<TuningWarning>& warnings) {
    std::vector<std::string> codes;
    for (const TuningWarning& warning : warnings) {
        if (std::find(codes.begin(), codes.end(), warning.code) == codes.end()) codes.push_back(warning.code);
    }
    std::string text;
    for (const std::string& code : codes) text += (text.empty() ? "" : ", ") + code;
    return text.empty() ? "-" : text;
}

std::vector<std::string> OuterCells(const OuterTuningRow& row, TuningUnits units) {
    return {std::to_string(row.bell),
            row.nominalHz ? FixedText(*row.nominalHz, 3) : "-",
            row.note ? row.note->name : "-",
            row.note ? UnitsText(row.note->cents, units) : "-",
            InUnitsOrDash(row.centsFromAnchor, units),
            InUnitsOrDash(row.targetCents, units),
            InUnitsOrDash(row.deviationCents, units),
            row.withinTolerance.value_or(true) ? "" : "*",
            row.strike ? FixedText(row.strike->frequencyHz, 3) : "-",
            WarningCodes(row.warnings)};
}

// A partial's name as a csv column's: "oct. nom." becomes "oct_nom".
std::string CsvName(std::string_view name) {
    std::string out;
    for (char c : name) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            out += c;
        } else if (!out.empty() && out.back() != '_') {
            out += '_';
        }
    }
    if (!out.empty() && out.back() == '_') out.pop_back();
    return out;
}

}  // namespace

std::string RingPitchText(const OuterTuning& tuning, TuningUnits units) {
    const std::string reference = " at A = " + FormatShortest(tuning.referencePitchHz) + " Hz";
    if (tuning.rows.empty() || !tuning.rows.back().note) return "unknown (tenor not measured)" + reference;
    const PitchNote& note = *tuning.rows.back().note;
    return note.name + " " + UnitsText(note.cents, units) + " " + std::string(UnitsName(units)) + reference;
}

std::string FormatOuterTuningTable(const OuterTuning& tuning, TuningUnits units) {
    const bool tenorAnchor = !tuning.rows.empty() && tuning.anchorBell == tuning.rows.back().bell;
    std::string out = "Pitch: " + RingPitchText(tuning, units) + "\n";
    out += "Relative to bell " + std::to_string(tuning.anchorBell) + (tenorAnchor ? " (the tenor)" : "") +
           "; tolerance " + UnitsText(tuning.toleranceCents, units, false) + " " + std::string(UnitsName(units)) + "\n";
    const std::vector<Column> columns = {{"Bell"},
                                         {"Nominal (Hz)"},
                                         {"Note", true},
                                         {UnitsHeading("Note", units)},
                                         {UnitsHeading("From anchor", units)},
                                         {UnitsHeading("Target", units)},
                                         {UnitsHeading("Deviation", units)},
                                         {"", true},
                                         {"Strike (Hz)"},
                                         {"Warnings", true}};
    std::vector<std::vector<std::string>> lines;
    bool outside = false;
    for (const OuterTuningRow& row : tuning.rows) {
        lines.push_back(OuterCells(row, units));
        outside = outside || !row.withinTolerance.value_or(true);
    }
    out += Aligned(columns, lines);
    if (outside) out += "* deviation outside the tolerance\n";
    return out + "\n";
}

std::string FormatInnerTuningTable(const std::vector<InnerTuningRow>& rows, InnerFigures figures,
                                   TuningUnits units) {
    const bool deviation = figures == InnerFigures::Deviation;
    std::string out = deviation ? "Deviation from the " + (rows.empty() ? std::string("?") : rows.front().idealName) +
                                      " ideal"
                                : std::string("Cents from the nominal");
    out += ", in " + std::string(UnitsName(units)) + "\n";
    std::vector<Column> columns = {{"Bell"}};
    for (const Partial partial : kRingPartialOrder) columns.push_back({std::string(NameOf(partial)) + " "});
    std::vector<std::vector<std::string>> lines;
    bool split = false;
    for (const InnerTuningRow& row : rows) {
        std::vector<std::string> cells = {std::to_string(row.bell)};
        for (const InnerPartial& p : row.partials) {
            // Every cell ends in the mark or a blank, so that the figures line up.
            cells.push_back(InUnitsOrDash(deviation ? p.deviationCents : p.centsFromNominal, units) +
                            (p.doubletHz ? "d" : " "));
            split = split || p.doubletHz.has_value();
        }
        lines.push_back(std::move(cells));
    }
    out += Aligned(columns, lines);
    if (split) out += "d: a doublet (the partial is split)\n";
    return out + "\n";
}

std::string RingCsvHeader() {
    std::string out = "bell,file,nominal,note,note_cents,cents_from_anchor,target,deviation,strike";
    for (const Partial partial : kRingPartialOrder) {
        const std::string name = CsvName(NameOf(partial));
        out += "," + name + "_cents," + name + "_deviation";
    }
    return out + "\n";
}

std::string FormatRingCsvLine(const OuterTuningRow& outer, const InnerTuningRow& inner) {
    std::vector<std::string> fields = {std::to_string(outer.bell),
                                       CsvField(outer.file),
                                       FormatShortest(outer.nominalHz),
                                       outer.note ? outer.note->name : "",
                                       outer.note ? FormatShortest(outer.note->cents) : "",
                                       FormatShortest(outer.centsFromAnchor),
                                       FormatShortest(outer.targetCents),
                                       FormatShortest(outer.deviationCents),
                                       outer.strike ? FormatShortest(outer.strike->frequencyHz) : ""};
    for (const InnerPartial& p : inner.partials) {
        fields.push_back(FormatShortest(p.centsFromNominal));
        fields.push_back(FormatShortest(p.deviationCents));
    }
    std::string out;
    for (const std::string& field : fields) {
        if (&field != &fields.front()) out += ',';
        out += field;
    }
    return out + "\n";
}
