#include "project/project_schema.h"

#include <string>

namespace {

// Columns without a declared type hold doubles (see the header).
constexpr const char* kTables = R"sql(
CREATE TABLE ring (
    id INTEGER PRIMARY KEY CHECK (id = 1),
    name TEXT NOT NULL,
    place TEXT NOT NULL,
    bell_count INTEGER NOT NULL CHECK (bell_count BETWEEN 1 AND 64),
    reference_pitch_hz NOT NULL,
    scale TEXT NOT NULL CHECK (scale IN ('major', 'chromatic')),
    temperament TEXT NOT NULL CHECK (temperament IN ('equal', 'just', 'meantone', 'founder')),
    founder_file TEXT NOT NULL,
    stretch_cents_per_octave NOT NULL,
    anchor_bell INTEGER NOT NULL CHECK (anchor_bell BETWEEN 0 AND bell_count),
    tolerance_cents NOT NULL,
    inner_ideal TEXT NOT NULL);
CREATE TABLE founder_target (
    position INTEGER PRIMARY KEY,
    bell INTEGER NOT NULL,
    cents NOT NULL);
CREATE TABLE bell (
    number INTEGER PRIMARY KEY CHECK (number BETWEEN 1 AND 64),
    label TEXT NOT NULL,
    weight_kg,
    diameter_mm,
    target_cents,
    may_not_be_tuned INTEGER NOT NULL CHECK (may_not_be_tuned IN (0, 1)));
CREATE TABLE measurement (
    id INTEGER PRIMARY KEY,
    bell INTEGER NOT NULL REFERENCES bell (number),
    pass TEXT NOT NULL CHECK (pass <> ''),
    time TEXT NOT NULL,
    source TEXT NOT NULL,
    UNIQUE (bell, pass));
CREATE TABLE recording (
    measurement INTEGER PRIMARY KEY REFERENCES measurement (id) ON DELETE CASCADE,
    sample_rate_hz INTEGER NOT NULL,
    source_file TEXT NOT NULL,
    recorded_at_ns INTEGER NOT NULL,
    trigger_sample INTEGER NOT NULL,
    padded_samples INTEGER NOT NULL,
    samples BLOB);
CREATE TABLE analysis_parameters (
    measurement INTEGER PRIMARY KEY REFERENCES measurement (id) ON DELETE CASCADE,
    start_frequency_hz NOT NULL,
    end_frequency_hz NOT NULL,
    interval_hz NOT NULL,
    speed_adjust NOT NULL,
    low_nominal_hz NOT NULL,
    high_nominal_hz NOT NULL);
CREATE TABLE partial_table (
    measurement INTEGER PRIMARY KEY REFERENCES measurement (id) ON DELETE CASCADE,
    nominal_hz NOT NULL,
    partials_valid INTEGER NOT NULL,
    row_count INTEGER NOT NULL);
CREATE TABLE partial_row (
    measurement INTEGER NOT NULL REFERENCES partial_table (measurement) ON DELETE CASCADE,
    row_index INTEGER NOT NULL CHECK (row_index BETWEEN 0 AND 24),
    frequency_hz NOT NULL,
    splash_amplitude NOT NULL,
    tail_amplitude NOT NULL,
    attack NOT NULL,
    decay NOT NULL,
    cents NOT NULL,
    partial_index INTEGER NOT NULL,
    note TEXT NOT NULL,
    PRIMARY KEY (measurement, row_index)) WITHOUT ROWID;
CREATE TABLE tuning_report (
    measurement INTEGER PRIMARY KEY REFERENCES measurement (id) ON DELETE CASCADE,
    ideal_name TEXT NOT NULL,
    measured INTEGER NOT NULL CHECK (measured IN (0, 1)),
    clipped_samples INTEGER NOT NULL,
    strike_hz,
    strike_note TEXT,
    strike_cents,
    CHECK ((strike_hz IS NULL) = (strike_note IS NULL) AND (strike_hz IS NULL) = (strike_cents IS NULL)));
CREATE TABLE strike_partial (
    measurement INTEGER NOT NULL REFERENCES tuning_report (measurement) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    name TEXT NOT NULL,
    PRIMARY KEY (measurement, position)) WITHOUT ROWID;
CREATE TABLE tuned_partial (
    measurement INTEGER NOT NULL REFERENCES tuning_report (measurement) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    partial_index INTEGER NOT NULL,
    name TEXT NOT NULL,
    frequency_hz NOT NULL,
    uncertainty_hz NOT NULL,
    cents NOT NULL,
    ideal_cents,
    deviation_cents,
    t60_seconds,
    doublet_hz,
    doublet_relative_amplitude,
    note TEXT NOT NULL,
    level_db,
    doublet_level_db,
    CHECK ((doublet_hz IS NULL) = (doublet_relative_amplitude IS NULL)),
    PRIMARY KEY (measurement, position)) WITHOUT ROWID;
CREATE TABLE tuning_warning (
    measurement INTEGER NOT NULL REFERENCES tuning_report (measurement) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    code TEXT NOT NULL,
    text TEXT NOT NULL,
    PRIMARY KEY (measurement, position)) WITHOUT ROWID;
)sql";

constexpr int kTableCount = 12;

bool WriteVersion(const SqliteDatabase& db) {
    return db.Execute("PRAGMA user_version = " + std::to_string(kProjectFormatVersion));
}

}  // namespace

bool CreateProjectSchema(const SqliteDatabase& db) {
    return db.Execute(kTables) &&
           db.Execute("PRAGMA application_id = " + std::to_string(kProjectApplicationId)) && WriteVersion(db);
}

bool HasProjectTables(const SqliteDatabase& db) {
    std::int64_t found = 0;
    return db.QueryInt("SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name IN ("
                       "'ring', 'founder_target', 'bell', 'measurement', 'recording', 'analysis_parameters', "
                       "'partial_table', 'partial_row', 'tuning_report', 'strike_partial', 'tuned_partial', "
                       "'tuning_warning')",
                       found) &&
           found == kTableCount;
}

bool MigrateProjectSchema(const SqliteDatabase& db, std::int64_t fromVersion) {
    if (fromVersion < 0 || fromVersion > kProjectFormatVersion) return false;
    // One step per version, each from the layout the one before left.
    if (fromVersion < 1 &&
        !db.Execute("ALTER TABLE ring ADD COLUMN inner_ideal TEXT NOT NULL DEFAULT 'just'")) {
        return false;
    }
    return WriteVersion(db);
}
