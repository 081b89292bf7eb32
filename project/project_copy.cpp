#include <sqlite3.h>

#include <cstdio>
#include <filesystem>

#include "data/safe_save.h"
#include "project/project.h"

namespace {

bool CopyBytes(const std::string& from, std::FILE* to) {
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (in == nullptr) return false;
    char buffer[1 << 16];
    bool ok = true;
    std::size_t got;
    while (ok && (got = std::fread(buffer, 1, sizeof buffer, in)) > 0) ok = std::fwrite(buffer, 1, got, to) == got;
    ok = ok && std::ferror(in) == 0;
    std::fclose(in);
    return ok;
}

}  // namespace

std::int16_t Project::SaveAs(const std::string& path) {
    if (!IsOpen()) return ProjectCannotOpen;
    std::error_code error;
    if (std::filesystem::equivalent(path, db_.FileName(), error)) return ProjectCannotOpen;
    const std::string from = db_.FileName();
    {
        // A read holds the shared lock: no other program changes the file
        // while its bytes are copied, and no change of ours is half written.
        SqliteTransaction read(db_, SqliteLock::Read);
        std::int64_t tables = 0;
        if (!read.Began() || !db_.QueryInt("SELECT count(*) FROM sqlite_master", tables)) {
            return db_.PrimaryCode() == SQLITE_BUSY ? ProjectBusy : ProjectCannotOpen;
        }
        if (!SaveFileSafely(path, [&](std::FILE* to) { return CopyBytes(from, to); })) return ProjectCannotOpen;
    }
    const std::int16_t opened = Open(path);
    if (opened != ProjectOpened && opened != ProjectOpenedReadOnly) Open(from);
    return opened;
}
