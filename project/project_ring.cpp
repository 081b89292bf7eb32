#include "project/project.h"

#include <sqlite3.h>

#include "project/ring_rows.h"

std::int16_t Project::FailureResult() const {
    switch (db_.PrimaryCode()) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED: return ProjectWasBusy;
        // The file or its folder lost its write permission while open.
        case SQLITE_READONLY: return ProjectReadOnly;
        default: return ProjectFailed;
    }
}

std::int16_t Project::MayChange() const {
    if (!IsOpen()) return ProjectNotOpen;
    return readOnly_ ? ProjectReadOnly : ProjectDone;
}

std::int16_t Project::CheckBell(int bell) const {
    std::int64_t bellCount = 0;
    if (!db_.QueryInt("SELECT bell_count FROM ring WHERE id = 1", bellCount)) return FailureResult();
    return bell >= 1 && bell <= bellCount ? ProjectDone : ProjectNoSuchBell;
}

std::int16_t Project::ReadRing(RingSettings& ring) const {
    if (!IsOpen()) return ProjectNotOpen;
    SqliteTransaction read(db_, SqliteLock::Read);
    return read.Began() && LoadRing(db_, ring) ? ProjectDone : FailureResult();
}

std::int16_t Project::ReadBells(std::vector<RingBell>& bells) const {
    if (!IsOpen()) return ProjectNotOpen;
    SqliteTransaction read(db_, SqliteLock::Read);
    return read.Began() && LoadBells(db_, bells) ? ProjectDone : FailureResult();
}

std::int16_t Project::ChangeRing(const RingSettings& ring) {
    if (const std::int16_t refusal = MayChange(); refusal != ProjectDone) return refusal;
    if (!RingAcceptable(ring)) return ProjectRingInvalid;
    SqliteTransaction change(db_, SqliteLock::Write);
    std::int64_t measuredAbove = 0;
    if (!change.Began() || !db_.QueryInt("SELECT count(*) FROM measurement WHERE bell > " +
                                             std::to_string(ring.bellCount), measuredAbove)) {
        return FailureResult();
    }
    // Dropping those bells would drop their measurements with them.
    if (measuredAbove > 0) return ProjectBellsMeasured;
    if (!StoreRing(db_, ring) || !MatchBellRows(db_, ring.bellCount) || !change.Commit()) return FailureResult();
    return ProjectDone;
}

std::int16_t Project::ChangeBell(const RingBell& bell) {
    if (const std::int16_t refusal = MayChange(); refusal != ProjectDone) return refusal;
    SqliteTransaction change(db_, SqliteLock::Write);
    if (!change.Began()) return FailureResult();
    if (const std::int16_t refusal = CheckBell(bell.number); refusal != ProjectDone) return refusal;
    return StoreBell(db_, bell) && change.Commit() ? ProjectDone : FailureResult();
}
