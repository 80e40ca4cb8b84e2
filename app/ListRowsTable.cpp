#include "app/ListRowsTable.h"

namespace mofeng::app {
namespace {

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS list_rows("
    " list INTEGER NOT NULL, id INTEGER NOT NULL, position INTEGER NOT NULL,"
    " cells BLOB NOT NULL, PRIMARY KEY(list, id)) WITHOUT ROWID;"
    "CREATE INDEX IF NOT EXISTS list_order ON list_rows(list, position);";
// Marks the file as ours: "MOFG".
constexpr std::int64_t kApplicationId = 0x4D4F4647;

// The table and the index the schema makes, both of the right kind.
bool HoldsOurSchema(const SqliteDatabase& db) {
    return db.QueryInt(
               "SELECT count(*) FROM sqlite_master WHERE (type = 'table' AND name = "
               "'list_rows') OR (type = 'index' AND name = 'list_order')") == 2;
}

// Every stored row of every list decodes: checked once when a database is
// opened for writing, so a damaged row moves the file aside rather than vanishing.
bool EveryRowDecodes(const SqliteDatabase& db) {
    SqliteStatement statement = db.Prepare("SELECT cells FROM list_rows");
    runtime::Row cells;
    bool good = static_cast<bool>(statement);
    while (good && statement.Step()) {
        good = DecodeCells(statement.Bytes(0), cells);
    }
    return good && statement.Done();
}

}  // namespace

namespace list_rows {

bool IsOurs(const SqliteDatabase& db) {
    return db && db.QueryText("PRAGMA quick_check") == "ok" &&
           db.QueryInt("PRAGMA application_id") == kApplicationId;
}

bool MakeUsable(const SqliteDatabase& db, bool wal) {
    if (!db || db.QueryText("PRAGMA quick_check") != "ok") {
        return false;
    }
    const auto id = db.QueryInt("PRAGMA application_id");
    const bool fresh = id == 0 && db.QueryInt("SELECT count(*) FROM sqlite_master") == 0;
    if (!fresh && (id != kApplicationId || !HoldsOurSchema(db) || !EveryRowDecodes(db))) {
        return false;  // some other database, no database at all, or a damaged one of ours
    }
    if (wal && db.QueryText("PRAGMA journal_mode=WAL") != "wal") {
        return false;
    }
    return db.Exec("PRAGMA application_id=" + std::to_string(kApplicationId)) && db.Exec(kSchema);
}

SqliteStatement PrepareWrite(const SqliteDatabase& db) {
    return db.Prepare(
        "INSERT OR REPLACE INTO list_rows(list, id, position, cells) VALUES(?, ?, ?, ?)");
}

bool Write(SqliteStatement& statement, int list, std::int64_t id, long long position,
           const runtime::Row& cells) {
    return statement.Reset()
        .Bind(1, std::int64_t{list})
        .Bind(2, id)
        .Bind(3, std::int64_t{position})
        .BindBlob(4, EncodeCells(cells))
        .Run();
}

bool ClearList(const SqliteDatabase& db, int list) {
    SqliteStatement statement = db.Prepare("DELETE FROM list_rows WHERE list = ?");
    return statement.Bind(1, std::int64_t{list}).Run();
}

bool Load(const SqliteDatabase& db, int list, std::vector<runtime::Row>& rows) {
    rows.clear();
    // "+list" keeps the planner off the ordering index.
    SqliteStatement statement =
        db.Prepare("SELECT cells FROM list_rows WHERE +list = ? ORDER BY position, id");
    bool good = static_cast<bool>(statement);
    statement.Bind(1, std::int64_t{list});
    while (good && statement.Step()) {
        runtime::Row cells;
        good = DecodeCells(statement.Bytes(0), cells);
        rows.push_back(std::move(cells));
    }
    good = good && statement.Done();
    if (!good) {
        rows.clear();
    }
    return good;
}

}  // namespace list_rows

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

}  // namespace mofeng::app
