#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "runtime/Table.h"
#include "runtime/TableData.h"

namespace mofeng::runtime {

// A Table held in memory: the command-line front end and core tests use it.
// Every call takes one lock, so any call is atomic and any thread may call.
class MemoryTable final : public Table {
public:
    // One (title, width in pixels) per column; titles are GBK.
    explicit MemoryTable(std::vector<std::pair<std::string, int>> columns);

    int RowCount() override;
    int ColumnCount() override;
    std::string GetCell(int row, int column) override;
    void SetCell(int row, int column, std::string text) override;
    int AppendRows(std::vector<Row> rows) override;
    int FindRow(std::string_view text, int column) override;
    void Clear() override;
    std::vector<int> SelectedRows() override;
    std::string ColumnTitle(int column) override;
    int ColumnWidth(int column) override;
    std::vector<std::string> ColumnTexts(int column) override;
    void ReorderRows(const std::vector<int>& sourceOfPosition) override;
    std::vector<RowId> RowIds() override;
    std::optional<std::string> GetCellById(RowId id, int column) override;
    bool SetCellsById(RowId id, int firstColumn, std::vector<std::string> texts) override;

    // Selects these positions (out-of-range ones are dropped); the rest are
    // deselected.
    void SetSelectedRows(std::vector<int> rows);
    // Copy of all rows, top to bottom.
    std::vector<Row> Rows();

private:
    const std::vector<std::pair<std::string, int>> m_columns;
    std::mutex m_mutex;
    TableData m_data;
    std::vector<int> m_selected;  // ascending, unique
};

}  // namespace mofeng::runtime
