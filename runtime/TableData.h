#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Table.h"

namespace mofeng::runtime {

// Plain storage of a text list: a fixed number of columns, rows of GBK texts
// and a row identity that moves with each row. NOT thread-safe, not even the
// const members (FindRow builds a column's text index on first use): the
// owner serialises every call.
class TableData final {
public:
    explicit TableData(int columnCount);
    ~TableData();
    TableData(TableData&&) noexcept;
    TableData& operator=(TableData&&) noexcept;
    TableData(const TableData&) = delete;
    TableData& operator=(const TableData&) = delete;

    int RowCount() const { return static_cast<int>(m_ids.size()); }
    int ColumnCount() const { return m_columnCount; }

    // The cell's text; a static empty text when row or column is out of range.
    const std::string& Cell(int row, int column) const;
    // False (and nothing changed) when row or column is out of range.
    bool SetCell(int row, int column, std::string text);

    // Appends rows, each padded or cut to the column count, with fresh ids.
    // Returns the position of the first new row, -1 for empty input.
    int AppendRows(std::vector<Row> rows);

    // First row whose cell in column equals text byte for byte, -1 when none.
    // O(1) on average, found or not (for a text held by k rows, O(1) as
    // well: the topmost is checked first), once the column has been searched
    // since it was created or last reordered.
    int FindRow(std::string_view text, int column) const;
    // Every row whose cell in column equals text, top to bottom; as cheap as
    // FindRow per row found.
    std::vector<int> FindRows(std::string_view text, int column) const;

    // Removes every row. Ids are not reused afterwards.
    void Clear();

    // Removes the rows at these positions (any order; duplicates and
    // out-of-range positions are ignored) in one pass; the rest keep their
    // order and ids. Returns the ids removed, top to bottom.
    std::vector<RowId> RemoveRows(std::vector<int> positions);
    // Puts each row back so that it ends up at its position: positions
    // ascending, each the row's place in the list after the insertion (what
    // RemoveRows took away comes back where it was). Rows get fresh ids,
    // returned in the same order; a position past the end appends. Empty
    // result, nothing changed, unless positions and rows have equal sizes and
    // positions ascend strictly.
    std::vector<RowId> InsertRows(const std::vector<int>& positions, std::vector<Row> rows);

    // New position p receives the row now at sourceOfPosition[p]; false and
    // nothing changed unless sourceOfPosition is a permutation of the rows.
    bool ReorderRows(const std::vector<int>& sourceOfPosition);

    // Texts of one column, top to bottom; empty when column is out of range.
    std::vector<std::string> ColumnTexts(int column) const;
    std::vector<RowId> RowIds() const { return m_ids; }
    RowId IdOfRow(int row) const;  // 0 when out of range
    // Current position of the row with this id; -1 when it no longer exists.
    int RowOfId(RowId id) const;

private:
    class ColumnIndex;

    std::string& CellRef(int row, int column) {
        return m_cells[static_cast<std::size_t>(row) * m_columnCount + column];
    }
    const std::string& CellRef(int row, int column) const {
        return m_cells[static_cast<std::size_t>(row) * m_columnCount + column];
    }
    ColumnIndex& IndexOf(int column) const;

    int m_columnCount;
    std::vector<std::string> m_cells;  // row-major, RowCount * ColumnCount
    std::vector<RowId> m_ids;          // one per row
    // Position of each row by id: m_positionOfId[id - m_firstId]. Ids handed
    // out since the last Clear are contiguous, so a vector does it.
    std::vector<int> m_positionOfId;
    RowId m_firstId = 1;
    RowId m_nextId = 1;
    // Per column: the rows of each cell text hash, built lazily by FindRow.
    mutable std::vector<std::unique_ptr<ColumnIndex>> m_indexes;
};

}  // namespace mofeng::runtime
