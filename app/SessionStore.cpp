#include "app/SessionStore.h"

#include "app/HistoryStore.h"
#include "app/ListRowsTable.h"
#include "runtime/AtomicFile.h"

namespace mofeng::app {
namespace {

namespace fs = std::filesystem;

void RemoveDatabaseFiles(const fs::path& path) {
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        fs::remove(fs::path(path) += suffix, ignored);
    }
}

}  // namespace

std::unique_ptr<SessionStore> SessionStore::OpenSession(const fs::path& path, Opened& outcome) {
    std::error_code error;
    const bool existed = fs::exists(path, error);
    if (existed && !runtime::IsAbsentOrRegularFile(path)) {
        outcome = Opened::Failed;
        return nullptr;
    }
    fs::create_directories(path.parent_path(), error);
    constexpr int kFlags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    SqliteDatabase db = SqliteDatabase::Open(path, kFlags);
    if (list_rows::MakeUsable(db, true)) {
        outcome = existed ? Opened::Existing : Opened::Created;
    } else {
        db.Close();
        fs::rename(path, fs::path(path) += ".broken", error);
        RemoveDatabaseFiles(path);
        db = SqliteDatabase::Open(path, kFlags);
        if (!list_rows::MakeUsable(db, true)) {
            outcome = Opened::Failed;
            return nullptr;
        }
        outcome = existed ? Opened::BrokenMovedAside : Opened::Created;
    }
    auto store = std::unique_ptr<SessionStore>(new SessionStore(std::move(db)));
    return store->Prepare() ? std::move(store) : nullptr;
}

bool SessionStore::Prepare() {
    // NORMAL is safe with WAL: a crash loses at most the last transactions, never the file.
    m_upsert = list_rows::PrepareWrite(m_db);
    return m_db.Exec("PRAGMA synchronous=NORMAL") && history::MakeUsable(m_db) && m_upsert;
}

std::vector<runtime::Row> SessionStore::LoadList(int list) {
    std::vector<runtime::Row> rows;
    list_rows::Load(m_db, list, rows);
    return rows;
}

bool SessionStore::Apply(const SessionBatch& batch) {
    if (batch.Empty()) {
        return true;
    }
    SqliteTransaction transaction(m_db);
    bool ok = transaction.Began();
    for (int list : batch.clearedLists) {
        ok = ok && list_rows::ClearList(m_db, list);
    }
    for (const SessionBatch::RowWrite& row : batch.rows) {
        ok = ok && list_rows::Write(m_upsert, row.list, static_cast<std::int64_t>(row.id),
                                    row.position, row.cells);
    }
    ok = ok && history::Record(m_db, batch.observations);
    return ok && transaction.Commit();
}

}  // namespace mofeng::app
