#include "app/ListFile.h"

#include "app/ListRowsTable.h"
#include "app/SessionStore.h"
#include "runtime/AtomicFile.h"

namespace mofeng::app {

bool SaveListFile(const std::filesystem::path& path, const std::vector<runtime::Row>& rows) {
    if (path.empty() || !runtime::IsAbsentOrRegularFile(path)) {
        return false;
    }
    SqliteDatabase db = SqliteDatabase::InMemory();
    if (!list_rows::MakeUsable(db, false)) {
        return false;
    }
    {
        SqliteTransaction transaction(db, false);
        SqliteStatement write = list_rows::PrepareWrite(db);
        bool ok = transaction.Began() && static_cast<bool>(write);
        long long position = 0;
        for (const runtime::Row& row : rows) {
            ok = ok && list_rows::Write(write, kSessionMainList, position + 1, position, row);
            ++position;
        }
        if (!ok || !transaction.Commit()) {
            return false;
        }
    }
    const std::optional<std::string> bytes = db.Serialize();
    return bytes && runtime::WriteFileAtomically(path, *bytes);
}

bool LoadListFile(const std::filesystem::path& path, std::vector<runtime::Row>& rows) {
    std::error_code error;
    if (!std::filesystem::exists(path, error) || !runtime::IsAbsentOrRegularFile(path)) {
        return false;
    }
    const SqliteDatabase db = SqliteDatabase::Open(path, SQLITE_OPEN_READONLY);
    return list_rows::IsOurs(db) && list_rows::Load(db, kSessionMainList, rows);
}

}  // namespace mofeng::app
