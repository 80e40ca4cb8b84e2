#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mofeng::app {

// One prepared statement; finalized with the object. Parameters are 1-based,
// result columns 0-based, as in SQLite.
class SqliteStatement final {
public:
    SqliteStatement() = default;
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement() { sqlite3_finalize(m_statement); }
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    explicit operator bool() const { return m_statement != nullptr; }

    // Clears the bindings and rewinds, ready for the next Bind/Step.
    SqliteStatement& Reset();
    SqliteStatement& Bind(int index, std::int64_t value);
    SqliteStatement& Bind(int index, double value);
    SqliteStatement& BindText(int index, std::string_view text);  // bytes as given
    SqliteStatement& BindBlob(int index, std::string_view bytes);
    SqliteStatement& BindNull(int index);

    // True while a row is there; Done tells a clean end from an error.
    bool Step();
    bool Done() const { return m_last == SQLITE_DONE; }
    // Runs a statement that returns no rows.
    bool Run() { return !Step() && Done(); }

    std::int64_t Int(int column) const { return sqlite3_column_int64(m_statement, column); }
    double Real(int column) const { return sqlite3_column_double(m_statement, column); }
    bool IsNull(int column) const {
        return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
    }
    // Text or blob bytes of a column (empty for NULL); valid until the next Step.
    std::string_view Bytes(int column) const;

private:
    sqlite3_stmt* m_statement = nullptr;
    int m_last = SQLITE_OK;
};

// An open SQLite connection, closed with the object. Not shared between
// threads (opened without SQLite's own mutex).
class SqliteDatabase final {
public:
    SqliteDatabase() = default;
    ~SqliteDatabase() { Close(); }
    SqliteDatabase(SqliteDatabase&& other) noexcept : m_db(other.m_db) { other.m_db = nullptr; }
    SqliteDatabase& operator=(SqliteDatabase&& other) noexcept;
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // flags as sqlite3_open_v2's; waits up to 2 s for another writer.
    static SqliteDatabase Open(const std::filesystem::path& path, int flags);
    // A private database in memory (built whole, then Serialize'd).
    static SqliteDatabase InMemory();

    explicit operator bool() const { return m_db != nullptr; }
    sqlite3* Handle() const { return m_db; }
    // False when closing failed (unfinished statements); the handle is gone either way.
    bool Close();

    bool Exec(const char* sql) const;
    bool Exec(const std::string& sql) const { return Exec(sql.c_str()); }
    SqliteStatement Prepare(const char* sql) const { return SqliteStatement(m_db, sql); }
    // The first column of the first row, when there is one.
    std::optional<std::int64_t> QueryInt(const char* sql) const;
    std::string QueryText(const char* sql) const;  // empty when none

    // The main database as the bytes of a database file; nullopt on failure.
    std::optional<std::string> Serialize() const;

private:
    explicit SqliteDatabase(sqlite3* db) : m_db(db) {}
    sqlite3* m_db = nullptr;
};

// BEGIN (IMMEDIATE: takes the write lock at once) ... Commit; rolled back when
// left without Commit.
class SqliteTransaction final {
public:
    explicit SqliteTransaction(const SqliteDatabase& db, bool immediate = true);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    bool Began() const { return m_open; }
    bool Commit();

private:
    const SqliteDatabase& m_db;
    bool m_open = false;
};

}  // namespace mofeng::app
