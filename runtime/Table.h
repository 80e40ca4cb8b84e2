#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mofeng::runtime {

// Identity of a row that moves with its texts when the rows are reordered.
// Never reused within a table; 0 means "no row".
using RowId = std::uint64_t;

using Row = std::vector<std::string>;  // one text per column, GBK bytes

// A list of text rows as the core logic sees it (the keyword list, the mining
// list). Each call is atomic with respect to every other call; a sequence of
// calls is not. Implementations may be called from any thread. Rows are
// 0-based positions; out-of-range reads give the empty text, out-of-range
// writes change nothing.
class Table {
public:
    virtual ~Table() = default;

    virtual int RowCount() = 0;
    virtual int ColumnCount() = 0;
    virtual std::string GetCell(int row, int column) = 0;
    virtual void SetCell(int row, int column, std::string text) = 0;

    // Appends rows (each padded or cut to the column count) in one step.
    // Returns the position of the first new row, -1 when nothing was added.
    virtual int AppendRows(std::vector<Row> rows) = 0;
    int InsertRow() { return AppendRows({Row{}}); }

    // First row at or after 0 whose cell in column equals text byte for byte;
    // -1 when none. O(1) on average when the text is absent.
    virtual int FindRow(std::string_view text, int column) = 0;

    virtual void Clear() = 0;

    virtual std::string ColumnTitle(int column) = 0;

    // The texts of one column, top to bottom.
    virtual std::vector<std::string> ColumnTexts(int column) = 0;
    // Reorders rows: new position p receives the row now at sourceOfPosition[p]
    // (a permutation of 0..RowCount-1; anything else is ignored). Row ids move
    // with their texts.
    virtual void ReorderRows(const std::vector<int>& sourceOfPosition) = 0;

    // Row identities, top to bottom.
    virtual std::vector<RowId> RowIds() = 0;
    // Cell of the row with this id; nullopt when that row no longer exists.
    virtual std::optional<std::string> GetCellById(RowId id, int column) = 0;
    // Writes texts into consecutive columns from firstColumn of the row with
    // this id; false when that row no longer exists.
    virtual bool SetCellsById(RowId id, int firstColumn, std::vector<std::string> texts) = 0;
};

}  // namespace mofeng::runtime
