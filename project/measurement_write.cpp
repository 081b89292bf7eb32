#include "project/measurement_rows.h"

#include "project/sample_bytes.h"

namespace {

bool InsertRecording(const SqliteDatabase& db, std::int64_t id, const Recording& recording) {
    SqliteStatement insert(db,
                           "INSERT INTO recording (measurement, sample_rate_hz, source_file, recorded_at_ns, "
                           "trigger_sample, padded_samples, samples) VALUES (?, ?, ?, ?, ?, ?, ?)");
    const auto since1970 =
        std::chrono::duration_cast<std::chrono::nanoseconds>(recording.recordedAt.time_since_epoch());
    if (!insert.BindAll(id, recording.sampleRate, recording.sourceFile, static_cast<std::int64_t>(since1970.count()),
                        recording.triggerSample, recording.paddedSamples)) {
        return false;
    }
    if (!recording.samples) return insert.BindNull(7) && insert.Run();
    const std::string bytes = LittleEndianBytes(recording.samples->data(), recording.samples->size());
    return insert.BindBlob(7, bytes.data(), bytes.size()) && insert.Run();
}

bool InsertParameters(const SqliteDatabase& db, std::int64_t id, const AnalysisParameters& p) {
    SqliteStatement insert(db,
                           "INSERT INTO analysis_parameters (measurement, start_frequency_hz, end_frequency_hz, "
                           "interval_hz, speed_adjust, low_nominal_hz, high_nominal_hz) VALUES (?, ?, ?, ?, ?, ?, ?)");
    return insert.BindAll(id, p.startFrequency, p.endFrequency, p.interval, p.speedAdjust, p.lowNominal,
                          p.highNominal) &&
           insert.Run();
}

bool InsertTable(const SqliteDatabase& db, std::int64_t id, const PartialTable& table) {
    SqliteStatement head(db,
                         "INSERT INTO partial_table (measurement, nominal_hz, partials_valid, row_count) "
                         "VALUES (?, ?, ?, ?)");
    if (!head.BindAll(id, table.nominal, table.partialsValid, table.count) || !head.Run()) return false;
    SqliteStatement row(db,
                        "INSERT INTO partial_row (measurement, row_index, frequency_hz, splash_amplitude, "
                        "tail_amplitude, attack, decay, cents, partial_index, note) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (std::size_t r = 0; r < kPartialRows; ++r) {
        row.Reset();
        if (!row.BindAll(id, static_cast<int>(r), table.frequency[r], table.splashAmplitude[r],
                         table.tailAmplitude[r], table.attack[r], table.decay[r], table.cents[r],
                         table.partialIndex[r], table.note[r]) ||
            !row.Run()) {
            return false;
        }
    }
    return true;
}

bool InsertReportHead(const SqliteDatabase& db, std::int64_t id, const TuningReport& report) {
    SqliteStatement head(db,
                         "INSERT INTO tuning_report (measurement, ideal_name, measured, clipped_samples, strike_hz, "
                         "strike_note, strike_cents) VALUES (?, ?, ?, ?, ?, ?, ?)");
    if (!head.BindAll(id, report.idealName, report.measured ? 1 : 0, report.clippedSamples)) return false;
    const bool bound = report.strike ? head.Bind(5, report.strike->frequencyHz) &&
                                           head.Bind(6, report.strike->note) && head.Bind(7, report.strike->cents)
                                     : head.BindNull(5) && head.BindNull(6) && head.BindNull(7);
    if (!bound || !head.Run()) return false;
    if (!report.strike) return true;
    SqliteStatement from(db, "INSERT INTO strike_partial (measurement, position, name) VALUES (?, ?, ?)");
    for (std::size_t i = 0; i < report.strike->from.size(); ++i) {
        from.Reset();
        if (!from.BindAll(id, static_cast<std::int64_t>(i), report.strike->from[i]) || !from.Run()) return false;
    }
    return true;
}

bool InsertTunedPartials(const SqliteDatabase& db, std::int64_t id, const std::vector<TunedPartial>& partials) {
    SqliteStatement insert(db,
                           "INSERT INTO tuned_partial (measurement, position, partial_index, name, frequency_hz, "
                           "uncertainty_hz, cents, ideal_cents, deviation_cents, t60_seconds, doublet_hz, "
                           "doublet_relative_amplitude, note, level_db, doublet_level_db) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (std::size_t i = 0; i < partials.size(); ++i) {
        const TunedPartial& p = partials[i];
        const std::optional<double> doubletHz =
            p.doublet ? std::optional<double>(p.doublet->frequencyHz) : std::nullopt;
        const std::optional<double> doubletAmplitude =
            p.doublet ? std::optional<double>(p.doublet->relativeAmplitude) : std::nullopt;
        const std::optional<double> doubletLevel = p.doublet ? p.doublet->levelDb : std::nullopt;
        insert.Reset();
        if (!insert.BindAll(id, static_cast<std::int64_t>(i), p.partialIndex, p.name, p.frequencyHz, p.uncertaintyHz,
                            p.cents, p.idealCents, p.deviationCents, p.t60Seconds, doubletHz, doubletAmplitude,
                            p.note, p.levelDb, doubletLevel) ||
            !insert.Run()) {
            return false;
        }
    }
    return insert.Ok();
}

bool InsertWarnings(const SqliteDatabase& db, std::int64_t id, const std::vector<TuningWarning>& warnings) {
    SqliteStatement insert(db, "INSERT INTO tuning_warning (measurement, position, code, text) VALUES (?, ?, ?, ?)");
    for (std::size_t i = 0; i < warnings.size(); ++i) {
        insert.Reset();
        if (!insert.BindAll(id, static_cast<std::int64_t>(i), warnings[i].code, warnings[i].text) || !insert.Run()) {
            return false;
        }
    }
    return insert.Ok();
}

}  // namespace

bool InsertMeasurement(const SqliteDatabase& db, const Measurement& m, std::int64_t& id) {
    SqliteStatement head(db, "INSERT INTO measurement (bell, pass, time, source) VALUES (?, ?, ?, ?)");
    if (!head.BindAll(m.bell, m.pass, m.time, m.source) || !head.Run()) return false;
    const std::int64_t newId = db.LastInsertId();
    if (!InsertRecording(db, newId, m.recording) || !InsertParameters(db, newId, m.parameters) ||
        !InsertTable(db, newId, m.table) || !InsertReportHead(db, newId, m.tuning) ||
        !InsertTunedPartials(db, newId, m.tuning.partials) || !InsertWarnings(db, newId, m.tuning.warnings)) {
        return false;
    }
    id = newId;
    return true;
}
