#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "project/measurement.h"
#include "project/project_results.h"
#include "project/sqlite_handle.h"
#include "ring/ring.h"

// A tower's project file (NAME.campanor): its ring of bells and every
// measurement ("pass") of every bell, in an SQLite database
// (project_schema.h lists the tables). Each change is one transaction with
// the file synced before it counts: a crash or a power cut in the middle
// loses nothing kept before and leaves a file that opens. No file is ever
// left beside the project once it is closed (no -journal, -wal or -shm).
//
// Another program may hold the file: a read or change then waits up to
// 1.5 s for it and gives up with ProjectBusy / ProjectWasBusy. One Project
// belongs to one thread at a time; it is not carried across fork().
// Results and their texts: project_results.h.
class Project {
public:
    Project() = default;
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;
    ~Project() = default;  // closes the file

    // Makes a new project at `path` with `ring` and bells 1 ... bellCount
    // (empty labels) and keeps it open. Refused, touching nothing: a file
    // (or anything) already at `path` (ProjectAlreadyExists), a ring that
    // RingAcceptable refuses (ProjectRingRefused). ProjectCannotOpen when the
    // file cannot be made or written; no file is then left behind. Closes a
    // project open before.
    std::int16_t Create(const std::string& path, const RingSettings& ring);

    // Opens the project at `path`. ProjectOpened, or ProjectOpenedReadOnly
    // when the user may not write the file or its folder: it is read and
    // every change is refused with ProjectReadOnly. A project of an earlier
    // format version is brought to the current one in one transaction (one
    // that may not be written is ProjectCannotOpen). Refused, the file left
    // byte for byte as it was: ProjectNotAProject (no SQLite file, another
    // application's, or tables missing), ProjectTooNew, ProjectBusy (after
    // the 1.5 s wait), ProjectMissing, ProjectCannotOpen. Closes a project
    // open before, whatever the result.
    std::int16_t Open(const std::string& path);

    // Writes a copy of the open project to `path` (a file there is replaced
    // only once the copy is complete and synced) and continues with the
    // copy; the file opened before stays as it was. ProjectOpened (or
    // ProjectOpenedReadOnly); refused, the first project still open:
    // ProjectCannotOpen (nothing open, the copy could not be written, or
    // `path` is the open file itself), ProjectBusy (another program was
    // writing the project past the wait).
    std::int16_t SaveAs(const std::string& path);

    void Close();
    bool IsOpen() const { return db_.IsOpen(); }
    bool IsReadOnly() const { return readOnly_; }
    const std::string& Path() const { return path_; }
    // SQLite's own words for the last failure, for a log; not for the user.
    const std::string& SqliteMessage() const { return db_.Message(); }

    // The ring as kept. ProjectDone, ProjectNotOpen, ProjectWasBusy or
    // ProjectFailed; `ring` changes only on ProjectDone.
    std::int16_t ReadRing(RingSettings& ring) const;
    // Bells 1 ... bellCount in order; results as ReadRing.
    std::int16_t ReadBells(std::vector<RingBell>& bells) const;

    // Replaces the ring's settings. A new bellCount adds bells with empty
    // details or removes those above it; lowering it below a bell that has
    // measurements is refused (ProjectBellsMeasured), so no measurement is
    // ever lost. Also ProjectRingInvalid (RingAcceptable), ProjectReadOnly,
    // ProjectNotOpen, ProjectWasBusy, ProjectFailed; nothing changes then.
    std::int16_t ChangeRing(const RingSettings& ring);

    // Replaces the details of bell `bell.number`; ProjectNoSuchBell outside
    // 1 ... bellCount; otherwise as ChangeRing. A NaN weight, diameter or
    // target is kept as empty.
    std::int16_t ChangeBell(const RingBell& bell);

    // Keeps `measurement` as a new pass and gives its id. Refused with
    // nothing written: ProjectNoSuchBell (bell outside 1 ... bellCount),
    // ProjectPassUnnamed (empty label), ProjectPassTaken (the bell has a pass
    // of that label), ProjectReadOnly, ProjectNotOpen, ProjectWasBusy, and
    // ProjectFailed (a full disk, or a NaN where the file needs a number; an
    // empty optional's NaN stays empty).
    std::int16_t Keep(const Measurement& measurement, std::int64_t& id);

    // The label the bell's next pass gets by default: "as received" when the
    // bell has none, otherwise "cut N" with N one more than the largest
    // "cut N" the bell has (1 when none). ProjectNoSuchBell, as ReadRing.
    std::int16_t NextPassLabel(int bell, std::string& label) const;

    // The bell's passes in the order kept, without loading any samples.
    // ProjectNoSuchBell, as ReadRing.
    std::int16_t Passes(int bell, std::vector<PassSummary>& passes) const;

    // The bell's pass kept last; ProjectNoSuchPass when it has none.
    std::int16_t LatestPass(int bell, PassSummary& pass) const;

    // The pass `id` exactly as kept: samples byte for byte, doubles bit for
    // bit, empty optionals empty. ProjectNoSuchPass, as ReadRing;
    // `measurement` changes only on ProjectDone.
    std::int16_t Load(std::int64_t id, Measurement& measurement) const;

private:
    // The open-time checks and settings once the connection exists.
    std::int16_t Adopt(bool readOnly);
    // ProjectWasBusy or ProjectFailed for the connection's last failure.
    std::int16_t FailureResult() const;
    // ProjectDone when the ring has `bell`, else its refusal.
    std::int16_t CheckBell(int bell) const;
    // The refusal of a change before it begins, or ProjectDone.
    std::int16_t MayChange() const;

    SqliteDatabase db_;
    std::string path_;
    bool readOnly_ = false;
};
