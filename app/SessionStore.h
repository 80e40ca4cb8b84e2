#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "runtime/Table.h"

namespace mofeng::app {

// The lists a session keeps.
inline constexpr int kSessionMainList = 0;
inline constexpr int kSessionMiningList = 1;

// Changes to the stored lists, applied as one transaction: the cleared lists
// first, then the rows written (inserted, or replaced by their id).
struct SessionBatch {
    struct RowWrite {
        int list = kSessionMainList;
        runtime::RowId id = 0;
        long long position = 0;  // order within the list
        runtime::Row cells;      // every cell of the row, whatever their count
    };
    std::vector<int> clearedLists;
    std::vector<RowWrite> rows;

    bool Empty() const { return clearedLists.empty() && rows.empty(); }
};

// An SQLite database holding lists of text rows (the session, and the list
// files "保存列表…" writes: the same schema). WAL mode for the session. One
// object per thread: it is not shared.
class SessionStore final {
public:
    enum class Opened {
        Existing,          // an intact database was opened
        Created,           // there was none
        BrokenMovedAside,  // it was unreadable: renamed with ".broken", a new one created
        Failed,            // none could be opened or created
    };

    ~SessionStore();
    SessionStore(const SessionStore&) = delete;
    SessionStore& operator=(const SessionStore&) = delete;

    // The session database at path, created when absent; a torn or corrupt
    // one (or any file that is not such a database) is moved aside to
    // path + ".broken" and replaced by a new one. Null only with Failed.
    static std::unique_ptr<SessionStore> OpenSession(const std::filesystem::path& path,
                                                     Opened& outcome);

    // The rows of a list in their stored order.
    std::vector<runtime::Row> LoadList(int list);
    bool Apply(const SessionBatch& batch);

private:
    explicit SessionStore(sqlite3* db) : m_db(db) {}
    bool Prepare();

    sqlite3* m_db;
    sqlite3_stmt* m_upsert = nullptr;
};

// A list file (.mofeng): one list in the session's schema, written whole to a
// temporary file in the same folder and renamed over path. False on failure
// (an existing file stays as it was) or when path is not a regular file.
bool SaveListFile(const std::filesystem::path& path, const std::vector<runtime::Row>& rows);
// The rows of a list file; false when it is absent, not a regular file, or
// not a readable list file.
bool LoadListFile(const std::filesystem::path& path, std::vector<runtime::Row>& rows);

// Cells <-> the stored blob: each cell as a 4-byte little-endian length and
// its bytes. A blob that does not decode gives nullopt-like false.
std::string EncodeCells(const runtime::Row& cells);
bool DecodeCells(std::string_view blob, runtime::Row& cells);

}  // namespace mofeng::app
