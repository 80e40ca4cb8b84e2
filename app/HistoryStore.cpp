#include "app/HistoryStore.h"

#include "app/ListRowsTable.h"

namespace mofeng::app::history {
namespace {

constexpr std::size_t kFigureCount = 6;

// The keyword is a blob so that it sorts and compares by its GBK bytes; the
// listing count is kept apart for ListingBefore.
constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS observations("
    " keyword BLOB NOT NULL, day TEXT NOT NULL, listing BLOB NOT NULL, cells BLOB NOT NULL,"
    " PRIMARY KEY(keyword, day)) WITHOUT ROWID";

// cells: the six figures, outcome, series, suggestion weight, then the market
// figures as caption/value pairs.
std::string Encode(const Observation& o) {
    runtime::Row cells = o.figures;
    cells.resize(kFigureCount);
    cells.push_back(o.outcome);
    cells.push_back(o.series);
    cells.push_back(o.suggestWeight);
    for (const auto& [caption, value] : o.market) {
        cells.push_back(caption);
        cells.push_back(value);
    }
    return EncodeCells(cells);
}

bool Decode(std::string_view blob, Observation& o) {
    runtime::Row cells;
    if (!DecodeCells(blob, cells) || cells.size() < kFigureCount + 3 ||
        (cells.size() - kFigureCount - 3) % 2 != 0) {
        return false;
    }
    o.figures.assign(cells.begin(), cells.begin() + kFigureCount);
    o.outcome = cells[kFigureCount];
    o.series = cells[kFigureCount + 1];
    o.suggestWeight = cells[kFigureCount + 2];
    o.market.clear();
    for (std::size_t i = kFigureCount + 3; i < cells.size(); i += 2) {
        o.market.emplace_back(cells[i], cells[i + 1]);
    }
    return true;
}

}  // namespace

bool MakeUsable(const SqliteDatabase& db) {
    return db.Exec(kSchema);
}

bool Present(const SqliteDatabase& db) {
    return db.QueryInt(
               "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = "
               "'observations'") == 1;
}

bool Record(const SqliteDatabase& db, const std::vector<Observation>& observations) {
    if (observations.empty()) {
        return true;
    }
    const bool own = sqlite3_get_autocommit(db.Handle()) != 0;
    std::optional<SqliteTransaction> transaction;
    if (own) {
        transaction.emplace(db);
    }
    SqliteStatement insert = db.Prepare(
        "INSERT OR REPLACE INTO observations(keyword, day, listing, cells) VALUES(?, ?, ?, ?)");
    bool ok = static_cast<bool>(insert) && (!own || transaction->Began());
    for (const Observation& o : observations) {
        ok = ok && IsIsoDate(o.day) &&
             insert.Reset()
                 .BindBlob(1, o.keyword)
                 .BindText(2, o.day)
                 .BindBlob(3, o.figures.empty() ? std::string() : o.figures.front())
                 .BindBlob(4, Encode(o))
                 .Run();
    }
    return ok && (!own || transaction->Commit());
}

std::vector<Observation> Read(const SqliteDatabase& db, const Filter& filter) {
    std::string sql = "SELECT keyword, day, cells FROM observations WHERE 1";
    if (filter.keyword) {
        sql += " AND keyword = ?1";
    }
    if (filter.since) {
        sql += " AND day >= ?2";
    }
    sql += " ORDER BY keyword, day";
    SqliteStatement select = db.Prepare(sql.c_str());
    if (filter.keyword) {
        select.BindBlob(1, *filter.keyword);
    }
    if (filter.since) {
        select.BindText(2, *filter.since);
    }
    std::vector<Observation> observations;
    while (select && select.Step()) {
        Observation o;
        o.keyword = select.Bytes(0);
        o.day = select.Bytes(1);
        if (Decode(select.Bytes(2), o)) {  // a damaged row is left out, never half read
            observations.push_back(std::move(o));
        }
    }
    return observations;
}

std::optional<std::string> ListingBefore(const SqliteDatabase& db, const std::string& keyword,
                                         const std::string& day) {
    SqliteStatement select = db.Prepare(
        "SELECT listing FROM observations WHERE keyword = ? AND day < ? AND "
        "length(listing) > 0 ORDER BY day DESC LIMIT 1");
    if (!select.BindBlob(1, keyword).BindText(2, day).Step()) {
        return std::nullopt;
    }
    return std::string(select.Bytes(0));
}

Size Measure(const SqliteDatabase& db) {
    SqliteStatement select = db.Prepare(
        "SELECT count(*), coalesce(sum(length(keyword) + length(day) + length(listing) + "
        "length(cells)), 0) FROM observations");
    Size size;
    if (select.Step()) {
        size.observations = select.Int(0);
        size.bytes = select.Int(1);
    }
    return size;
}

bool Clear(const SqliteDatabase& db) {
    return db.Exec("DELETE FROM observations");
}

}  // namespace mofeng::app::history
