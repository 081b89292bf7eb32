#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// A thin, exception-free layer over the SQLite C library: a connection that
// closes itself, prepared statements that finalize themselves and a
// transaction that rolls back unless committed. Every operation returns
// bool; after false, Message() and Code() of the connection say what SQLite
// reported. One connection and its statements belong to one thread at a time.

// How Open treats the file.
enum class SqliteAccess {
    ReadWrite,  // an existing file, for reading and writing
    ReadOnly,   // an existing file, never written
};

class SqliteDatabase {
public:
    SqliteDatabase() = default;
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;
    ~SqliteDatabase() { Close(); }

    // Opens the existing file at `path`; never creates one (a missing file
    // is refused). A file that is no database is only found out by the
    // first statement that reads it (Code() then SQLITE_NOTADB). Closes an
    // earlier connection first. False when SQLite refused; the object is
    // then closed.
    bool Open(const std::string& path, SqliteAccess access);
    // Ends the connection. Statements still alive keep it until they are
    // finalized; none of ours outlives the call that made it.
    void Close();
    bool IsOpen() const { return db_ != nullptr; }

    // How long a statement waits for another connection's lock before it
    // fails with SQLITE_BUSY, in milliseconds.
    void SetBusyTimeout(int milliseconds);

    // Runs one or more statements, dropping any rows they return. False at
    // the first that fails; the rest are not run.
    bool Execute(std::string_view sql) const;

    // The one integer a statement such as "PRAGMA user_version" returns, or
    // `fallback` when it returned no row. False when it failed.
    bool QueryInt(std::string_view sql, std::int64_t& value, std::int64_t fallback = 0) const;

    // The last failure: SQLite's message and its extended result code (0
    // before any failure).
    const std::string& Message() const { return message_; }
    int Code() const { return code_; }
    // The primary result code of the last failure (SQLITE_BUSY, ...).
    int PrimaryCode() const { return code_ & 0xff; }

    // The full path SQLite opened (links resolved); "" when closed.
    std::string FileName() const;
    // The rowid of the last row this connection inserted.
    std::int64_t LastInsertId() const;

    sqlite3* Handle() const { return db_; }
    // Records the connection's current error as the last failure; returns false.
    bool Fail() const;
    // Back to "no failure" (code 0, no message).
    void ForgetFailure() const;

private:
    sqlite3* db_ = nullptr;
    mutable std::string message_;
    mutable int code_ = 0;
};

// What Step found.
enum class SqliteStep { Row, Done, Failed };

// One prepared statement of a connection that outlives it. Parameters are
// numbered from 1, result columns from 0.
class SqliteStatement {
public:
    // Prepares `sql`; Ok() is false when it could not be (the message is
    // then the connection's).
    SqliteStatement(const SqliteDatabase& db, std::string_view sql);
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    ~SqliteStatement();

    bool Ok() const { return statement_ != nullptr; }

    // Binding refuses a statement that was not prepared or an index out of
    // range. Text and blobs are copied by SQLite. A NaN binds as NULL (SQLite
    // keeps no NaN). An empty optional binds NULL.
    bool Bind(int index, std::int64_t value);
    bool Bind(int index, int value) { return Bind(index, static_cast<std::int64_t>(value)); }
    bool Bind(int index, double value);
    bool Bind(int index, std::string_view text);
    bool Bind(int index, const std::optional<double>& value);
    bool BindBlob(int index, const void* bytes, std::size_t size);
    bool BindNull(int index);
    // Binds each value in turn to parameters 1, 2, ...
    template <typename... Values>
    bool BindAll(const Values&... values) {
        int index = 0;
        return (Bind(++index, values) && ...);
    }

    // Runs the statement to its next row. Failed records the error in the
    // connection.
    SqliteStep Step();
    // Steps once and expects Done: for statements that return no rows.
    bool Run() { return Step() == SqliteStep::Done; }
    // Makes the statement ready to run again; bindings are kept.
    void Reset();

    // The current row's columns; a NULL reads as 0, "" or an empty optional.
    std::int64_t Int(int column) const;
    double Real(int column) const;
    std::string Text(int column) const;
    std::optional<double> OptionalReal(int column) const;
    // The bytes of a blob column; valid until the next Step or Reset.
    std::string_view Blob(int column) const;
    bool IsNull(int column) const;

private:
    // True for SQLITE_OK; otherwise records the connection's error.
    bool Checked(int result) const;

    const SqliteDatabase& db_;
    sqlite3_stmt* statement_ = nullptr;
};

// What a transaction locks when it begins.
enum class SqliteLock {
    Read,   // BEGIN: reads see one state of the file throughout
    Write,  // BEGIN IMMEDIATE: the write lock at once (waiting up to the busy
            // timeout), so a change gets the file to itself or fails before it wrote anything
};

// A transaction, rolled back on destruction unless Commit() succeeded. It
// begins with the connection's recorded failure forgotten, so a failure
// read after it is its own.
class SqliteTransaction {
public:
    SqliteTransaction(const SqliteDatabase& db, SqliteLock lock);
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;
    ~SqliteTransaction();

    // Whether BEGIN succeeded.
    bool Began() const { return began_; }
    // COMMIT; false (and rolled back on destruction) when it failed.
    bool Commit();

private:
    const SqliteDatabase& db_;
    bool began_ = false;
    bool committed_ = false;
};
