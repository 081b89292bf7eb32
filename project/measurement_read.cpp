#include "project/measurement_rows.h"

#include <memory>
#include <utility>

#include "project/sample_bytes.h"

namespace {

// Binds the measurement's id and steps to the first row; false when the
// statement failed or found none.
bool FirstRow(SqliteStatement& select, std::int64_t id) {
    return select.BindAll(id) && select.Step() == SqliteStep::Row;
}

bool SelectRecording(const SqliteDatabase& db, std::int64_t id, Recording& recording) {
    SqliteStatement select(db,
                           "SELECT sample_rate_hz, source_file, recorded_at_ns, trigger_sample, padded_samples, "
                           "samples FROM recording WHERE measurement = ?");
    if (!FirstRow(select, id)) return false;
    recording.sampleRate = static_cast<std::int32_t>(select.Int(0));
    recording.sourceFile = select.Text(1);
    recording.recordedAt = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(std::chrono::nanoseconds(select.Int(2))));
    recording.triggerSample = select.Int(3);
    recording.paddedSamples = static_cast<std::int32_t>(select.Int(4));
    if (select.IsNull(5)) {
        recording.samples = nullptr;
        return true;
    }
    auto samples = std::make_shared<std::vector<std::int16_t>>();
    if (!SamplesFromLittleEndian(select.Blob(5), *samples)) return false;
    recording.samples = std::move(samples);
    return true;
}

bool SelectParameters(const SqliteDatabase& db, std::int64_t id, AnalysisParameters& p) {
    SqliteStatement select(db,
                           "SELECT start_frequency_hz, end_frequency_hz, interval_hz, speed_adjust, low_nominal_hz, "
                           "high_nominal_hz FROM analysis_parameters WHERE measurement = ?");
    if (!FirstRow(select, id)) return false;
    p = {select.Real(0), select.Real(1), select.Real(2), select.Real(3), select.Real(4), select.Real(5)};
    return true;
}

bool SelectTable(const SqliteDatabase& db, std::int64_t id, PartialTable& table) {
    SqliteStatement head(db, "SELECT nominal_hz, partials_valid, row_count FROM partial_table WHERE measurement = ?");
    if (!FirstRow(head, id)) return false;
    table.nominal = head.Real(0);
    table.partialsValid = static_cast<std::uint8_t>(head.Int(1));
    table.count = static_cast<std::int16_t>(head.Int(2));
    SqliteStatement rows(db,
                         "SELECT row_index, frequency_hz, splash_amplitude, tail_amplitude, attack, decay, cents, "
                         "partial_index, note FROM partial_row WHERE measurement = ?");
    if (!rows.BindAll(id)) return false;
    SqliteStep step;
    while ((step = rows.Step()) == SqliteStep::Row) {
        const std::int64_t r = rows.Int(0);
        if (r < 0 || r >= kPartialRows) return false;
        const auto i = static_cast<std::size_t>(r);
        table.frequency[i] = rows.Real(1);
        table.splashAmplitude[i] = rows.Real(2);
        table.tailAmplitude[i] = rows.Real(3);
        table.attack[i] = rows.Real(4);
        table.decay[i] = rows.Real(5);
        table.cents[i] = rows.Real(6);
        table.partialIndex[i] = static_cast<std::int16_t>(rows.Int(7));
        table.note[i] = rows.Text(8);
    }
    return step == SqliteStep::Done;
}

bool SelectStrike(const SqliteDatabase& db, std::int64_t id, StrikeNote& strike) {
    SqliteStatement select(db, "SELECT name FROM strike_partial WHERE measurement = ? ORDER BY position");
    if (!select.BindAll(id)) return false;
    SqliteStep step;
    while ((step = select.Step()) == SqliteStep::Row) strike.from.push_back(select.Text(0));
    return step == SqliteStep::Done;
}

bool SelectReportHead(const SqliteDatabase& db, std::int64_t id, TuningReport& report) {
    SqliteStatement head(db,
                         "SELECT ideal_name, measured, clipped_samples, strike_hz, strike_note, strike_cents "
                         "FROM tuning_report WHERE measurement = ?");
    if (!FirstRow(head, id)) return false;
    report.idealName = head.Text(0);
    report.measured = head.Int(1) != 0;
    report.clippedSamples = static_cast<std::int32_t>(head.Int(2));
    report.strike.reset();
    if (head.IsNull(3)) return true;
    report.strike = StrikeNote{head.Real(3), head.Text(4), head.Real(5), {}};
    return SelectStrike(db, id, *report.strike);
}

TunedPartial PartialOfRow(const SqliteStatement& row) {
    TunedPartial p;
    p.partialIndex = static_cast<std::int16_t>(row.Int(0));
    p.name = row.Text(1);
    p.frequencyHz = row.Real(2);
    p.uncertaintyHz = row.Real(3);
    p.cents = row.Real(4);
    p.idealCents = row.OptionalReal(5);
    p.deviationCents = row.OptionalReal(6);
    p.t60Seconds = row.OptionalReal(7);
    if (!row.IsNull(8)) p.doublet = Doublet{row.Real(8), row.Real(9), row.OptionalReal(12)};
    p.note = row.Text(10);
    p.levelDb = row.OptionalReal(11);
    return p;
}

bool SelectTunedPartials(const SqliteDatabase& db, std::int64_t id, std::vector<TunedPartial>& partials) {
    SqliteStatement select(db,
                           "SELECT partial_index, name, frequency_hz, uncertainty_hz, cents, ideal_cents, "
                           "deviation_cents, t60_seconds, doublet_hz, doublet_relative_amplitude, note, "
                           "level_db, doublet_level_db "
                           "FROM tuned_partial WHERE measurement = ? ORDER BY position");
    if (!select.BindAll(id)) return false;
    partials.clear();
    SqliteStep step;
    while ((step = select.Step()) == SqliteStep::Row) partials.push_back(PartialOfRow(select));
    return step == SqliteStep::Done;
}

bool SelectWarnings(const SqliteDatabase& db, std::int64_t id, std::vector<TuningWarning>& warnings) {
    SqliteStatement select(db, "SELECT code, text FROM tuning_warning WHERE measurement = ? ORDER BY position");
    if (!select.BindAll(id)) return false;
    warnings.clear();
    SqliteStep step;
    while ((step = select.Step()) == SqliteStep::Row) warnings.push_back({select.Text(0), select.Text(1)});
    return step == SqliteStep::Done;
}

}  // namespace

RowsRead SelectMeasurement(const SqliteDatabase& db, std::int64_t id, Measurement& measurement) {
    SqliteStatement head(db, "SELECT bell, pass, time, source FROM measurement WHERE id = ?");
    if (!head.BindAll(id)) return RowsRead::Failed;
    const SqliteStep step = head.Step();
    if (step != SqliteStep::Row) return step == SqliteStep::Done ? RowsRead::Missing : RowsRead::Failed;
    Measurement read;
    read.bell = static_cast<int>(head.Int(0));
    read.pass = head.Text(1);
    read.time = head.Text(2);
    read.source = head.Text(3);
    if (!SelectRecording(db, id, read.recording) || !SelectParameters(db, id, read.parameters) ||
        !SelectTable(db, id, read.table) || !SelectReportHead(db, id, read.tuning) ||
        !SelectTunedPartials(db, id, read.tuning.partials) || !SelectWarnings(db, id, read.tuning.warnings)) {
        return RowsRead::Failed;
    }
    measurement = std::move(read);
    return RowsRead::Found;
}
