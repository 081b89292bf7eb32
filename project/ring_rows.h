#pragma once
#include <vector>

#include "project/sqlite_handle.h"
#include "ring/ring.h"

// The ring and its bells in a project's tables (project_schema.h). Each
// write runs within the caller's write transaction and is false when SQLite
// refused; reads are false when the file could not be read or holds a
// value outside the ring's types.

// Whether a ring may be kept: 1 ... 64 bells, anchorBell 0 ... bellCount,
// a positive finite reference pitch, a finite stretch, a finite tolerance
// of at least 0 and finite founder's cents.
bool RingAcceptable(const RingSettings& ring);

// Replaces the ring row and the founder's targets. The bells are not
// touched: MatchBellRows follows a change of bellCount.
bool StoreRing(const SqliteDatabase& db, const RingSettings& ring);
bool LoadRing(const SqliteDatabase& db, RingSettings& ring);

// Gives the file exactly the bells 1 ... bellCount: rows above it are
// deleted (the foreign key refuses one that has measurements), missing ones
// are added with an empty label and nothing else.
bool MatchBellRows(const SqliteDatabase& db, int bellCount);

// Replaces the details of bell `bell.number`, whose row must exist.
bool StoreBell(const SqliteDatabase& db, const RingBell& bell);
// All bells in number order.
bool LoadBells(const SqliteDatabase& db, std::vector<RingBell>& bells);
