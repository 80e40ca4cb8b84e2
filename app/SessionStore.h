#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Observation.h"
#include "app/SqliteDatabase.h"
#include "runtime/Table.h"

namespace mofeng::app {

// The lists a session keeps.
inline constexpr int kSessionMainList = 0;
inline constexpr int kSessionMiningList = 1;

// Changes to the stored lists, applied as one transaction: the cleared lists
// first, then the rows written (inserted, or replaced by their id), then the
// observations recorded in the history.
struct SessionBatch {
    struct RowWrite {
        int list = kSessionMainList;
        runtime::RowId id = 0;
        long long position = 0;  // order within the list
        runtime::Row cells;      // every cell of the row, whatever their count
    };
    std::vector<int> clearedLists;
    std::vector<RowWrite> rows;
    std::vector<Observation> observations;

    bool Empty() const { return clearedLists.empty() && rows.empty() && observations.empty(); }
};

// The session: an SQLite database (WAL) holding lists of text rows in the
// schema of ListRowsTable.h, and the observation history (HistoryStore.h).
// One object per thread: it is not shared.
class SessionStore final {
public:
    enum class Opened {
        Existing,          // an intact database was opened
        Created,           // there was none
        BrokenMovedAside,  // it was unreadable: renamed with ".broken", a new one created
        Failed,            // none could be opened or created
    };

    SessionStore(const SessionStore&) = delete;
    SessionStore& operator=(const SessionStore&) = delete;

    // The session database at path, created when absent; a torn or corrupt
    // one (or any file that is not such a database) is moved aside to
    // path + ".broken" and replaced by a new one; so is one holding a row
    // whose cells do not decode. Null only with Failed.
    static std::unique_ptr<SessionStore> OpenSession(const std::filesystem::path& path,
                                                     Opened& outcome);

    // The rows of a list in their stored order, read from the table itself
    // (never through its index); empty when they cannot all be read.
    std::vector<runtime::Row> LoadList(int list);
    bool Apply(const SessionBatch& batch);

    // The connection, for other tables kept in the same database (writer thread).
    const SqliteDatabase& Database() const { return m_db; }

private:
    explicit SessionStore(SqliteDatabase db) : m_db(std::move(db)) {}
    bool Prepare();

    SqliteDatabase m_db;
    SqliteStatement m_upsert;  // declared after m_db: finalized first
};

}  // namespace mofeng::app
