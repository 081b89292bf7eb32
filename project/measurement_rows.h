#pragma once
#include <cstdint>

#include "project/measurement.h"
#include "project/sqlite_handle.h"

// One measurement in a project's tables (project_schema.h), every value as
// it was: samples byte for byte, doubles bit for bit, empty optionals as
// NULL. Writing runs within the caller's write transaction and assumes the
// bell and the pass label were checked; it is false when SQLite refused (a
// NaN where a number is required, a full disk).

// Inserts `measurement` and gives its new id.
bool InsertMeasurement(const SqliteDatabase& db, const Measurement& measurement, std::int64_t& id);

// What SelectMeasurement found.
enum class RowsRead { Found, Missing, Failed };

// Reads the measurement `id` into `measurement`, which is left unchanged
// unless Found. Failed also for rows that break the layout (an odd sample
// blob, more than 25 table rows).
RowsRead SelectMeasurement(const SqliteDatabase& db, std::int64_t id, Measurement& measurement);
