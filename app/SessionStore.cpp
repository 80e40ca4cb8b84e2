#include "app/SessionStore.h"

#include <cstdint>
#include <cstdlib>

#include "runtime/AtomicFile.h"
#include "runtime/PathText.h"
#include "runtime/platform/AtomicReplace.h"
#include "runtime/platform/UniqueFile.h"

namespace mofeng::app {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS list_rows("
    " list INTEGER NOT NULL, id INTEGER NOT NULL, position INTEGER NOT NULL,"
    " cells BLOB NOT NULL, PRIMARY KEY(list, id)) WITHOUT ROWID;"
    "CREATE INDEX IF NOT EXISTS list_order ON list_rows(list, position);";
// Marks the file as ours: "MOFG".
constexpr int kApplicationId = 0x4D4F4647;

bool Exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

int QueryInt(sqlite3* db, const char* sql, int fallback) {
    sqlite3_stmt* statement = nullptr;
    int value = fallback;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        value = sqlite3_column_int(statement, 0);
    }
    sqlite3_finalize(statement);
    return value;
}

std::string QueryText(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    std::string value;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        if (const unsigned char* text = sqlite3_column_text(statement, 0)) {
            value = reinterpret_cast<const char*>(text);
        }
    }
    sqlite3_finalize(statement);
    return value;
}

sqlite3* OpenDatabase(const fs::path& path, int flags) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(runtime::PathToUtf8(path).c_str(), &db, flags | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 2000);
    return db;
}

bool EveryRowDecodes(sqlite3* db);

// The table and the index the schema makes, both of the right kind.
bool HoldsOurSchema(sqlite3* db) {
    return QueryInt(db,
                    "SELECT count(*) FROM sqlite_master WHERE (type = 'table' AND name = "
                    "'list_rows') OR (type = 'index' AND name = 'list_order')",
                    -1) == 2;
}

// An intact database of ours (or an empty new one) with the schema in place.
// Everything is checked before anything is written, so a file refused here
// is moved aside exactly as it was.
bool UsableDatabase(sqlite3* db, bool wal) {
    if (db == nullptr || QueryText(db, "PRAGMA quick_check") != "ok") {
        return false;
    }
    const int id = QueryInt(db, "PRAGMA application_id", -1);
    const int tables = QueryInt(db, "SELECT count(*) FROM sqlite_master", -1);
    const bool fresh = id == 0 && tables == 0;
    if (!fresh && (id != kApplicationId || !HoldsOurSchema(db) || !EveryRowDecodes(db))) {
        return false;  // some other database, no database at all, or a damaged one of ours
    }
    if (wal && QueryText(db, "PRAGMA journal_mode=WAL") != "wal") {
        return false;
    }
    const std::string mark = "PRAGMA application_id=" + std::to_string(kApplicationId);
    return Exec(db, mark.c_str()) && Exec(db, kSchema);
}

void RemoveDatabaseFiles(const fs::path& path) {
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        fs::remove(fs::path(path) += suffix, ignored);
    }
}

bool Insert(sqlite3_stmt* statement, int list, std::int64_t id, long long position,
            const runtime::Row& cells) {
    const std::string blob = EncodeCells(cells);
    sqlite3_reset(statement);
    sqlite3_bind_int(statement, 1, list);
    sqlite3_bind_int64(statement, 2, id);
    sqlite3_bind_int64(statement, 3, position);
    sqlite3_bind_blob(statement, 4, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
    return sqlite3_step(statement) == SQLITE_DONE;
}

constexpr const char* kUpsertSql =
    "INSERT OR REPLACE INTO list_rows(list, id, position, cells) VALUES(?, ?, ?, ?)";

// Rows are read from the table itself ("+list" keeps the planner off the
// ordering index): an index that has lost entries must not hide rows. A row whose cells do not
// decode fails the whole read.
std::vector<runtime::Row> Load(sqlite3* db, int list, bool* ok) {
    std::vector<runtime::Row> rows;
    sqlite3_stmt* statement = nullptr;
    bool good = sqlite3_prepare_v2(db,
                                   "SELECT cells FROM list_rows WHERE +list = ? "
                                   "ORDER BY position, id",
                                   -1, &statement, nullptr) == SQLITE_OK;
    if (good) {
        sqlite3_bind_int(statement, 1, list);
        int step = SQLITE_ROW;
        while (good && (step = sqlite3_step(statement)) == SQLITE_ROW) {
            const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, 0));
            const int size = sqlite3_column_bytes(statement, 0);
            runtime::Row cells;
            good = DecodeCells(
                std::string_view(data == nullptr ? "" : data, static_cast<std::size_t>(size)),
                cells);
            rows.push_back(std::move(cells));
        }
        good = good && step == SQLITE_DONE;
    }
    sqlite3_finalize(statement);
    if (ok != nullptr) {
        *ok = good;
    }
    if (!good) {
        rows.clear();
    }
    return rows;
}

// Every stored row of every list decodes: checked once when a session is
// opened, so a damaged row moves the file aside rather than vanishing.
bool EveryRowDecodes(sqlite3* db) {
    sqlite3_stmt* statement = nullptr;
    bool good =
        sqlite3_prepare_v2(db, "SELECT cells FROM list_rows", -1, &statement, nullptr) == SQLITE_OK;
    int step = SQLITE_ROW;
    runtime::Row cells;
    while (good && (step = sqlite3_step(statement)) == SQLITE_ROW) {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, 0));
        const int size = sqlite3_column_bytes(statement, 0);
        good = DecodeCells(
            std::string_view(data == nullptr ? "" : data, static_cast<std::size_t>(size)), cells);
    }
    good = good && step == SQLITE_DONE;
    sqlite3_finalize(statement);
    return good;
}

}  // namespace

std::string EncodeCells(const runtime::Row& cells) {
    std::string blob;
    for (const std::string& cell : cells) {
        const auto size = static_cast<std::uint32_t>(cell.size());
        for (int shift = 0; shift < 32; shift += 8) {
            blob += static_cast<char>((size >> shift) & 0xFF);
        }
        blob += cell;
    }
    return blob;
}

bool DecodeCells(std::string_view blob, runtime::Row& cells) {
    cells.clear();
    while (!blob.empty()) {
        if (blob.size() < 4) {
            return false;
        }
        std::uint32_t size = 0;
        for (int i = 0; i < 4; ++i) {
            size |= static_cast<std::uint32_t>(static_cast<unsigned char>(blob[i])) << (8 * i);
        }
        blob.remove_prefix(4);
        if (size > blob.size()) {
            return false;
        }
        cells.emplace_back(blob.substr(0, size));
        blob.remove_prefix(size);
    }
    return true;
}

SessionStore::~SessionStore() {
    sqlite3_finalize(m_upsert);
    sqlite3_close(m_db);
}

std::unique_ptr<SessionStore> SessionStore::OpenSession(const fs::path& path, Opened& outcome) {
    std::error_code error;
    const bool existed = fs::exists(path, error);
    if (existed && !runtime::IsAbsentOrRegularFile(path)) {
        outcome = Opened::Failed;
        return nullptr;
    }
    fs::create_directories(path.parent_path(), error);
    constexpr int kFlags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    sqlite3* db = OpenDatabase(path, kFlags);
    if (UsableDatabase(db, true)) {
        auto store = std::unique_ptr<SessionStore>(new SessionStore(db));
        outcome = existed ? Opened::Existing : Opened::Created;
        return store->Prepare() ? std::move(store) : nullptr;
    }
    sqlite3_close(db);
    fs::rename(path, fs::path(path) += ".broken", error);
    RemoveDatabaseFiles(path);
    db = OpenDatabase(path, kFlags);
    if (!UsableDatabase(db, true)) {
        sqlite3_close(db);
        outcome = Opened::Failed;
        return nullptr;
    }
    auto store = std::unique_ptr<SessionStore>(new SessionStore(db));
    outcome = existed ? Opened::BrokenMovedAside : Opened::Created;
    return store->Prepare() ? std::move(store) : nullptr;
}

bool SessionStore::Prepare() {
    // NORMAL is safe with WAL: a crash loses at most the last transactions, never the file.
    return Exec(m_db, "PRAGMA synchronous=NORMAL") &&
           sqlite3_prepare_v2(m_db, kUpsertSql, -1, &m_upsert, nullptr) == SQLITE_OK;
}

std::vector<runtime::Row> SessionStore::LoadList(int list) {
    return Load(m_db, list, nullptr);
}

bool SessionStore::Apply(const SessionBatch& batch) {
    if (batch.Empty()) {
        return true;
    }
    if (!Exec(m_db, "BEGIN IMMEDIATE")) {
        return false;
    }
    bool ok = true;
    for (int list : batch.clearedLists) {
        const std::string sql = "DELETE FROM list_rows WHERE list = " + std::to_string(list);
        ok = ok && Exec(m_db, sql.c_str());
    }
    for (const SessionBatch::RowWrite& row : batch.rows) {
        ok = ok &&
             Insert(m_upsert, row.list, static_cast<std::int64_t>(row.id), row.position, row.cells);
    }
    if (!ok) {
        Exec(m_db, "ROLLBACK");
        return false;
    }
    return Exec(m_db, "COMMIT");
}

bool SaveListFile(const fs::path& path, const std::vector<runtime::Row>& rows) {
    if (path.empty() || !runtime::IsAbsentOrRegularFile(path)) {
        return false;
    }
    fs::path folder = path.parent_path();
    const fs::path temporary = runtime::platform::CreateUniqueFile(
        folder.empty() ? fs::path(".") : folder, "." + runtime::PathToUtf8(path.filename()) + ".");
    if (temporary.empty()) {
        return false;
    }
    sqlite3* db = OpenDatabase(temporary, SQLITE_OPEN_READWRITE);
    bool ok = UsableDatabase(db, false) && Exec(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    ok = ok && sqlite3_prepare_v2(db, kUpsertSql, -1, &insert, nullptr) == SQLITE_OK;
    long long position = 0;
    for (const runtime::Row& row : rows) {
        ok = ok && Insert(insert, kSessionMainList, position + 1, position, row);
        ++position;
    }
    sqlite3_finalize(insert);
    ok = ok && Exec(db, "COMMIT");
    ok = sqlite3_close(db) == SQLITE_OK && ok;
    ok = ok && runtime::IsAbsentOrRegularFile(path) &&
         runtime::platform::ReplaceWithFile(temporary, path);
    if (!ok) {
        RemoveDatabaseFiles(temporary);
    }
    return ok;
}

bool LoadListFile(const fs::path& path, std::vector<runtime::Row>& rows) {
    std::error_code error;
    if (!fs::exists(path, error) || !runtime::IsAbsentOrRegularFile(path)) {
        return false;
    }
    sqlite3* db = OpenDatabase(path, SQLITE_OPEN_READONLY);
    bool ok = db != nullptr && QueryText(db, "PRAGMA quick_check") == "ok" &&
              QueryInt(db, "PRAGMA application_id", -1) == kApplicationId;
    if (ok) {
        rows = Load(db, kSessionMainList, &ok);
    }
    sqlite3_close(db);
    return ok;
}

}  // namespace mofeng::app
