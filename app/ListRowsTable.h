#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/SqliteDatabase.h"
#include "runtime/Table.h"

namespace mofeng::app {

// The table of text rows that the session and the list files (.mofeng) share:
// list_rows(list, id, position, cells), cells as EncodeCells' blob.
namespace list_rows {

// An intact database of ours (or an empty new one) with the schema in place,
// in WAL mode when asked. Everything is checked before anything is written, so
// a database refused here is left exactly as it was.
bool MakeUsable(const SqliteDatabase& db, bool wal);
// A database marked as ours that passes SQLite's quick check (read-only use).
bool IsOurs(const SqliteDatabase& db);

// "INSERT OR REPLACE" of one row: bind with Write.
SqliteStatement PrepareWrite(const SqliteDatabase& db);
bool Write(SqliteStatement& statement, int list, std::int64_t id, long long position,
           const runtime::Row& cells);
bool ClearList(const SqliteDatabase& db, int list);

// The rows of a list in their stored order, read from the table itself (never
// through its index, which may have lost entries); false, with no rows, when
// any row's cells do not decode.
bool Load(const SqliteDatabase& db, int list, std::vector<runtime::Row>& rows);

}  // namespace list_rows

// Cells <-> the stored blob: each cell as a 4-byte little-endian length and
// its bytes. A blob that does not decode gives false.
std::string EncodeCells(const runtime::Row& cells);
bool DecodeCells(std::string_view blob, runtime::Row& cells);

}  // namespace mofeng::app
