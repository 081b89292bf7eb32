#pragma once
#include <cstdint>

#include "project/sqlite_handle.h"

// The tables of a project file (NAME.campanor), an SQLite database in
// rollback-journal mode. The file is known by its application_id (the
// ASCII of "CAMP") and its format version in user_version.
//
//   ring            one row (id 1): name, place, bell_count (1 ... 64),
//                   reference_pitch_hz, scale ('major', 'chromatic'),
//                   temperament ('equal', 'just', 'meantone', 'founder'),
//                   founder_file, stretch_cents_per_octave, anchor_bell
//                   (0 = the tenor), tolerance_cents, inner_ideal
//   founder_target  position (order in the founder's file), bell, cents
//   bell            number (1 ... bell_count, one row each), label,
//                   weight_kg, diameter_mm, target_cents (NULL = none),
//                   may_not_be_tuned (0, 1)
//   measurement     id (the order kept), bell -> bell, pass (UNIQUE per
//                   bell, never empty), time (local ISO 8601 with offset),
//                   source ('live' or the sound file's name)
//   recording       measurement -> measurement: sample_rate_hz,
//                   source_file, recorded_at_ns (since 1970 UTC),
//                   trigger_sample, padded_samples, samples (16-bit
//                   little-endian, NULL for a recording without samples)
//   analysis_parameters  measurement: start_frequency_hz, end_frequency_hz,
//                   interval_hz, speed_adjust, low_nominal_hz, high_nominal_hz
//   partial_table   measurement: nominal_hz, partials_valid, row_count
//   partial_row     (measurement, row_index 0 ... 24): all 25 rows, in use or
//                   not, so a table comes back exactly: frequency_hz,
//                   splash_amplitude, tail_amplitude, attack, decay, cents,
//                   partial_index, note
//   tuning_report   measurement: ideal_name, measured, clipped_samples,
//                   strike_hz, strike_note, strike_cents (all three NULL
//                   without a strike note)
//   strike_partial  (measurement, position): name, the strike note's "from"
//   tuned_partial   (measurement, position): partial_index, name,
//                   frequency_hz, uncertainty_hz, cents, ideal_cents,
//                   deviation_cents, t60_seconds, doublet_hz,
//                   doublet_relative_amplitude (NULL = empty), note,
//                   level_db, doublet_level_db (NULL = empty)
//   tuning_warning  (measurement, position): code, text
//
// Columns that hold doubles are declared without a type: SQLite's REAL
// affinity stores a whole-number value as an integer and gives -0.0 back
// as +0.0 (truncated cents are often -0.0), while an untyped column keeps
// the 8 bytes of the double as bound. Every child row goes with its
// measurement (ON DELETE CASCADE). A partial table's names of partials are
// the program's own and are not kept.
//
// Format history: version 0 had no ring.inner_ideal; it opens as "just"
// (the tuning panel's default).

inline constexpr std::int32_t kProjectApplicationId = 0x43414D50;  // "CAMP"
inline constexpr std::int64_t kProjectFormatVersion = 1;

// Creates every table of the current version and writes the application
// id and format version, within the caller's write transaction. False when
// SQLite refused (a table of the same name exists, the disk is full).
bool CreateProjectSchema(const SqliteDatabase& db);

// Whether every table of the layout is in the file (the same names in
// versions 0 and 1). False also when the file cannot be read.
bool HasProjectTables(const SqliteDatabase& db);

// Brings the tables of format version `fromVersion` (0 ... current) to the
// current layout and writes the current version, within the caller's write
// transaction. False when a step failed or the version is not known.
bool MigrateProjectSchema(const SqliteDatabase& db, std::int64_t fromVersion);
