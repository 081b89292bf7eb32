#include "project/sqlite_handle.h"

#include <sqlite3.h>

#include <climits>

bool SqliteDatabase::Open(const std::string& path, SqliteAccess access) {
    Close();
    const int flags = access == SqliteAccess::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    // SQLITE_OPEN_NOFOLLOW is left out on purpose: a link to a project opens the project.
    const int result = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (result == SQLITE_OK) {
        sqlite3_extended_result_codes(db_, 1);
        return true;
    }
    // Even a failed open allocates a handle, which carries the message.
    message_ = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(result);
    code_ = result;
    Close();
    return false;
}

void SqliteDatabase::Close() {
    if (db_ != nullptr) sqlite3_close_v2(db_);
    db_ = nullptr;
}

void SqliteDatabase::SetBusyTimeout(int milliseconds) {
    if (db_ != nullptr) sqlite3_busy_timeout(db_, milliseconds);
}

void SqliteDatabase::ForgetFailure() const {
    message_.clear();
    code_ = 0;
}

bool SqliteDatabase::Fail() const {
    if (db_ == nullptr) {
        message_ = "no database is open";
        code_ = SQLITE_MISUSE;
        return false;
    }
    message_ = sqlite3_errmsg(db_);
    code_ = sqlite3_extended_errcode(db_);
    return false;
}

std::string SqliteDatabase::FileName() const {
    const char* name = db_ != nullptr ? sqlite3_db_filename(db_, "main") : nullptr;
    return name != nullptr ? name : "";
}

std::int64_t SqliteDatabase::LastInsertId() const {
    return db_ != nullptr ? sqlite3_last_insert_rowid(db_) : 0;
}

bool SqliteDatabase::Execute(std::string_view sql) const {
    if (db_ == nullptr) return Fail();
    // sqlite3_exec needs a terminated string; the statements are short.
    const std::string text(sql);
    if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return Fail();
    return true;
}

bool SqliteDatabase::QueryInt(std::string_view sql, std::int64_t& value, std::int64_t fallback) const {
    SqliteStatement statement(*this, sql);
    if (!statement.Ok()) return false;
    switch (statement.Step()) {
        case SqliteStep::Row: value = statement.Int(0); return true;
        case SqliteStep::Done: value = fallback; return true;
        case SqliteStep::Failed: return false;
    }
    return false;
}

SqliteStatement::SqliteStatement(const SqliteDatabase& db, std::string_view sql) : db_(db) {
    if (db.Handle() == nullptr || sql.size() > INT_MAX) {
        db.Fail();
        return;
    }
    if (sqlite3_prepare_v2(db.Handle(), sql.data(), static_cast<int>(sql.size()), &statement_, nullptr) !=
        SQLITE_OK) {
        db.Fail();
        statement_ = nullptr;
    }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

bool SqliteStatement::Checked(int result) const { return result == SQLITE_OK || db_.Fail(); }

bool SqliteStatement::Bind(int index, std::int64_t value) {
    return statement_ != nullptr && Checked(sqlite3_bind_int64(statement_, index, value));
}

bool SqliteStatement::Bind(int index, double value) {
    return statement_ != nullptr && Checked(sqlite3_bind_double(statement_, index, value));
}

bool SqliteStatement::Bind(int index, std::string_view text) {
    if (statement_ == nullptr || text.size() > INT_MAX) return false;
    return Checked(sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
}

bool SqliteStatement::Bind(int index, const std::optional<double>& value) {
    return value ? Bind(index, *value) : BindNull(index);
}

bool SqliteStatement::BindNull(int index) {
    return statement_ != nullptr && Checked(sqlite3_bind_null(statement_, index));
}

bool SqliteStatement::BindBlob(int index, const void* bytes, std::size_t size) {
    // A zero-length blob with a null pointer would bind NULL, not an empty blob.
    static const char kNothing = 0;
    if (bytes == nullptr) bytes = &kNothing;
    return statement_ != nullptr && Checked(sqlite3_bind_blob64(statement_, index, bytes, size, SQLITE_TRANSIENT));
}

SqliteStep SqliteStatement::Step() {
    if (statement_ == nullptr) return SqliteStep::Failed;
    switch (sqlite3_step(statement_)) {
        case SQLITE_ROW: return SqliteStep::Row;
        case SQLITE_DONE: return SqliteStep::Done;
        default: db_.Fail(); return SqliteStep::Failed;
    }
}

void SqliteStatement::Reset() {
    if (statement_ != nullptr) sqlite3_reset(statement_);
}

std::int64_t SqliteStatement::Int(int column) const { return sqlite3_column_int64(statement_, column); }

double SqliteStatement::Real(int column) const { return sqlite3_column_double(statement_, column); }

std::string SqliteStatement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    if (text == nullptr) return {};
    return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

std::optional<double> SqliteStatement::OptionalReal(int column) const {
    if (IsNull(column)) return std::nullopt;
    return sqlite3_column_double(statement_, column);
}

bool SqliteStatement::IsNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }

std::string_view SqliteStatement::Blob(int column) const {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, column));
    if (bytes == nullptr) return {};
    return {bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))};
}

SqliteTransaction::SqliteTransaction(const SqliteDatabase& db, SqliteLock lock) : db_(db) {
    db.ForgetFailure();
    began_ = db.Execute(lock == SqliteLock::Write ? "BEGIN IMMEDIATE" : "BEGIN");
}

SqliteTransaction::~SqliteTransaction() {
    if (began_ && !committed_) {
        // The failure that led here is what the caller reports, not the rollback's.
        sqlite3_exec(db_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

bool SqliteTransaction::Commit() {
    if (!began_ || committed_) return false;
    committed_ = db_.Execute("COMMIT");
    return committed_;
}
