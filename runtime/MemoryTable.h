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
    // A list's column definitions, one (title, width in pixels) per column;
    // titles are GBK. Only the titles are kept: widths belong to a view.
    explicit MemoryTable(const std::vector<std::pair<std::string, int>>& columns);

    int RowCount() override;
    int ColumnCount() override;
    std::string GetCell(int row, int column) override;
    void SetCell(int row, int column, std::string text) override;
    int AppendRows(std::vector<Row> rows) override;
    int FindRow(std::string_view text, int column) override;
    void Clear() override;
    std::string ColumnTitle(int column) override;
    std::vector<std::string> ColumnTexts(int column) override;
    void ReorderRows(const std::vector<int>& sourceOfPosition) override;
    std::vector<RowId> RowIds() override;
    std::optional<std::string> GetCellById(RowId id, int column) override;
    bool SetCellsById(RowId id, int firstColumn, std::vector<std::string> texts) override;

    // Copy of all rows, top to bottom.
    std::vector<Row> Rows();

private:
    const std::vector<std::string> m_titles;
    std::mutex m_mutex;
    TableData m_data;
};

}  // namespace mofeng::runtime
