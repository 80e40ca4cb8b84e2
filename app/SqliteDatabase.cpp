#include "app/SqliteDatabase.h"

#include <utility>

#include "runtime/PathText.h"

namespace mofeng::app {

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) {
    if (db == nullptr || sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : m_statement(std::exchange(other.m_statement, nullptr)), m_last(other.m_last) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(m_statement);
        m_statement = std::exchange(other.m_statement, nullptr);
        m_last = other.m_last;
    }
    return *this;
}

SqliteStatement& SqliteStatement::Reset() {
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    m_last = SQLITE_OK;
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t value) {
    sqlite3_bind_int64(m_statement, index, value);
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, double value) {
    sqlite3_bind_double(m_statement, index, value);
    return *this;
}

SqliteStatement& SqliteStatement::BindText(int index, std::string_view text) {
    sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int index, std::string_view bytes) {
    // A zero-length blob, never NULL, for empty bytes.
    sqlite3_bind_blob(m_statement, index, bytes.empty() ? "" : bytes.data(),
                      static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::BindNull(int index) {
    sqlite3_bind_null(m_statement, index);
    return *this;
}

bool SqliteStatement::Step() {
    m_last = m_statement == nullptr ? SQLITE_MISUSE : sqlite3_step(m_statement);
    return m_last == SQLITE_ROW;
}

std::string_view SqliteStatement::Bytes(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
    const int size = sqlite3_column_bytes(m_statement, column);
    return data == nullptr ? std::string_view()
                           : std::string_view(data, static_cast<std::size_t>(size));
}

SqliteDatabase& SqliteDatabase::operator=(SqliteDatabase&& other) noexcept {
    if (this != &other) {
        Close();
        m_db = std::exchange(other.m_db, nullptr);
    }
    return *this;
}

SqliteDatabase SqliteDatabase::Open(const std::filesystem::path& path, int flags) {
    sqlite3* db = nullptr;
    // SQLite takes UTF-8 names on every system.
    if (sqlite3_open_v2(runtime::PathToUtf8(path).c_str(), &db, flags | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return {};
    }
    sqlite3_busy_timeout(db, 2000);
    return SqliteDatabase(db);
}

SqliteDatabase SqliteDatabase::InMemory() {
    return Open(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY);
}

bool SqliteDatabase::Close() {
    const bool ok = sqlite3_close(m_db) == SQLITE_OK;
    m_db = nullptr;
    return ok;
}

bool SqliteDatabase::Exec(const char* sql) const {
    return m_db != nullptr && sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::optional<std::int64_t> SqliteDatabase::QueryInt(const char* sql) const {
    SqliteStatement statement = Prepare(sql);
    if (!statement || !statement.Step()) {
        return std::nullopt;
    }
    return statement.Int(0);
}

std::string SqliteDatabase::QueryText(const char* sql) const {
    SqliteStatement statement = Prepare(sql);
    return statement && statement.Step() ? std::string(statement.Bytes(0)) : std::string();
}

std::optional<std::string> SqliteDatabase::Serialize() const {
    sqlite3_int64 size = 0;
    unsigned char* data = m_db == nullptr ? nullptr : sqlite3_serialize(m_db, "main", &size, 0);
    if (data == nullptr) {
        return std::nullopt;
    }
    std::string bytes(reinterpret_cast<const char*>(data), static_cast<std::size_t>(size));
    sqlite3_free(data);
    return bytes;
}

SqliteTransaction::SqliteTransaction(const SqliteDatabase& db, bool immediate)
    : m_db(db), m_open(db.Exec(immediate ? "BEGIN IMMEDIATE" : "BEGIN")) {}

SqliteTransaction::~SqliteTransaction() {
    if (m_open) {
        m_db.Exec("ROLLBACK");
    }
}

bool SqliteTransaction::Commit() {
    if (!m_open) {
        return false;
    }
    m_open = false;
    if (m_db.Exec("COMMIT")) {
        return true;
    }
    m_db.Exec("ROLLBACK");
    return false;
}

}  // namespace mofeng::app
