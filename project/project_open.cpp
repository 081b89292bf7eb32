#include "project/project.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "project/project_schema.h"
#include "project/ring_rows.h"

namespace {

// Long enough for another program to finish a save, short enough that a
// tuner waiting for a file does not think the program hung.
constexpr int kBusyWaitMilliseconds = 1500;

// SQLite writes its journal beside the file a link leads to, so that
// folder must be writable too.
bool UserMayWrite(const std::string& path) {
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(path, error);
    if (error) return false;
    return access(real.c_str(), W_OK) == 0 && access(real.parent_path().c_str(), W_OK) == 0;
}

// The open result for the connection's last failure.
std::int16_t OpenFailure(const SqliteDatabase& db) {
    switch (db.PrimaryCode()) {
        case SQLITE_NOTADB: return ProjectNotAProject;
        case SQLITE_BUSY:
        case SQLITE_LOCKED: return ProjectBusy;
        default: return ProjectCannotOpen;
    }
}

// Settings of the connection only: they write nothing to the file.
bool SetUpConnection(SqliteDatabase& db) {
    db.SetBusyTimeout(kBusyWaitMilliseconds);
    return db.Execute("PRAGMA foreign_keys = ON; PRAGMA synchronous = FULL");
}

// A writer stopped before its commit began leaves a journal whose header
// was never completed: SQLite ignores it (the file itself was not touched
// yet) and removes it only at the next change. Under the write lock no other
// writer can own a journal, so it goes now and the folder holds only the
// project. A hot journal was already played back by the first read.
void RemoveStaleJournal(const SqliteDatabase& db) {
    const std::string journal = db.FileName() + "-journal";
    if (access(journal.c_str(), F_OK) != 0) return;
    SqliteTransaction lock(db, SqliteLock::Write);
    if (lock.Began()) unlink(journal.c_str());
}

bool MakeTables(const SqliteDatabase& db, const RingSettings& ring) {
    if (!db.Execute("PRAGMA journal_mode = DELETE")) return false;
    SqliteTransaction make(db, SqliteLock::Write);
    return make.Began() && CreateProjectSchema(db) && StoreRing(db, ring) && MatchBellRows(db, ring.bellCount) &&
           make.Commit();
}

}  // namespace

void Project::Close() {
    db_.Close();
    path_.clear();
    readOnly_ = false;
}

std::int16_t Project::Create(const std::string& path, const RingSettings& ring) {
    Close();
    if (!RingAcceptable(ring)) return ProjectRingRefused;
    // O_EXCL: never take over a file someone made a moment ago.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return errno == EEXIST ? ProjectAlreadyExists : ProjectCannotOpen;
    close(fd);
    if (!db_.Open(path, SqliteAccess::ReadWrite) || !SetUpConnection(db_) || !MakeTables(db_, ring)) {
        db_.Close();
        unlink(path.c_str());
        return ProjectCannotOpen;
    }
    path_ = path;
    return ProjectOpened;
}

std::int16_t Project::Open(const std::string& path) {
    Close();
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return errno == ENOENT ? ProjectMissing : ProjectCannotOpen;
    if (!S_ISREG(info.st_mode)) return ProjectCannotOpen;
    const bool readOnly = !UserMayWrite(path);
    if (!db_.Open(path, readOnly ? SqliteAccess::ReadOnly : SqliteAccess::ReadWrite)) return ProjectCannotOpen;
    const std::int16_t result = Adopt(readOnly);
    if (result != ProjectOpened && result != ProjectOpenedReadOnly) {
        db_.Close();
        return result;
    }
    path_ = path;
    readOnly_ = readOnly;
    return result;
}

// Only reads until the file is known to be ours: a foreign or newer file is
// closed without a byte written.
std::int16_t Project::Adopt(bool readOnly) {
    // PRAGMA synchronous reads the schema: a foreign file can fail here already.
    if (!SetUpConnection(db_)) return OpenFailure(db_);
    std::int64_t version = 0;
    {
        SqliteTransaction look(db_, SqliteLock::Read);
        std::int64_t applicationId = 0;
        // The first read takes the shared lock: here a writer makes us wait.
        if (!look.Began() || !db_.QueryInt("PRAGMA application_id", applicationId)) return OpenFailure(db_);
        if (applicationId != kProjectApplicationId) return ProjectNotAProject;
        if (!db_.QueryInt("PRAGMA user_version", version)) return OpenFailure(db_);
        if (version > kProjectFormatVersion) return ProjectTooNew;
        if (!HasProjectTables(db_)) return db_.Code() != 0 ? OpenFailure(db_) : ProjectNotAProject;
    }
    // A file some other tool turned to write-ahead logging goes back to a
    // journal that is deleted after each change.
    if (!readOnly && !db_.Execute("PRAGMA journal_mode = DELETE")) return OpenFailure(db_);
    if (!readOnly) RemoveStaleJournal(db_);
    if (version < kProjectFormatVersion) {
        if (readOnly) return ProjectCannotOpen;
        SqliteTransaction migrate(db_, SqliteLock::Write);
        // Read again under the write lock: another program may have migrated it meanwhile.
        if (!migrate.Began() || !db_.QueryInt("PRAGMA user_version", version) ||
            !MigrateProjectSchema(db_, version) || !migrate.Commit()) {
            return OpenFailure(db_);
        }
    }
    return readOnly ? ProjectOpenedReadOnly : ProjectOpened;
}
