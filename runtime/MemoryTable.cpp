#include "runtime/MemoryTable.h"

#include <algorithm>

namespace mofeng::runtime {

MemoryTable::MemoryTable(std::vector<std::pair<std::string, int>> columns)
    : m_columns(std::move(columns)), m_data(static_cast<int>(m_columns.size())) {}

int MemoryTable::RowCount() {
    std::lock_guard lock(m_mutex);
    return m_data.RowCount();
}

int MemoryTable::ColumnCount() {
    return m_data.ColumnCount();  // fixed at construction
}

std::string MemoryTable::GetCell(int row, int column) {
    std::lock_guard lock(m_mutex);
    return m_data.Cell(row, column);
}

void MemoryTable::SetCell(int row, int column, std::string text) {
    std::lock_guard lock(m_mutex);
    m_data.SetCell(row, column, std::move(text));
}

int MemoryTable::AppendRows(std::vector<Row> rows) {
    std::lock_guard lock(m_mutex);
    return m_data.AppendRows(std::move(rows));
}

int MemoryTable::FindRow(std::string_view text, int column) {
    std::lock_guard lock(m_mutex);
    return m_data.FindRow(text, column);
}

void MemoryTable::Clear() {
    std::lock_guard lock(m_mutex);
    m_data.Clear();
    m_selected.clear();
}

std::vector<int> MemoryTable::SelectedRows() {
    std::lock_guard lock(m_mutex);
    return m_selected;
}

std::string MemoryTable::ColumnTitle(int column) {
    if (column < 0 || column >= static_cast<int>(m_columns.size())) {
        return {};
    }
    return m_columns[column].first;
}

int MemoryTable::ColumnWidth(int column) {
    if (column < 0 || column >= static_cast<int>(m_columns.size())) {
        return 0;
    }
    return m_columns[column].second;
}

std::vector<std::string> MemoryTable::ColumnTexts(int column) {
    std::lock_guard lock(m_mutex);
    return m_data.ColumnTexts(column);
}

void MemoryTable::ReorderRows(const std::vector<int>& sourceOfPosition) {
    std::lock_guard lock(m_mutex);
    m_data.ReorderRows(sourceOfPosition);  // selection stays at its positions
}

std::vector<RowId> MemoryTable::RowIds() {
    std::lock_guard lock(m_mutex);
    return m_data.RowIds();
}

std::optional<std::string> MemoryTable::GetCellById(RowId id, int column) {
    std::lock_guard lock(m_mutex);
    const int row = m_data.RowOfId(id);
    if (row < 0) {
        return std::nullopt;
    }
    return m_data.Cell(row, column);
}

bool MemoryTable::SetCellsById(RowId id, int firstColumn, std::vector<std::string> texts) {
    std::lock_guard lock(m_mutex);
    const int row = m_data.RowOfId(id);
    if (row < 0) {
        return false;
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        m_data.SetCell(row, firstColumn + static_cast<int>(i), std::move(texts[i]));
    }
    return true;
}

void MemoryTable::SetSelectedRows(std::vector<int> rows) {
    std::lock_guard lock(m_mutex);
    const int rowCount = m_data.RowCount();
    std::erase_if(rows, [rowCount](int row) { return row < 0 || row >= rowCount; });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    m_selected = std::move(rows);
}

std::vector<Row> MemoryTable::Rows() {
    std::lock_guard lock(m_mutex);
    std::vector<Row> rows(static_cast<std::size_t>(m_data.RowCount()));
    for (int row = 0; row < m_data.RowCount(); ++row) {
        rows[row].reserve(static_cast<std::size_t>(m_data.ColumnCount()));
        for (int column = 0; column < m_data.ColumnCount(); ++column) {
            rows[row].push_back(m_data.Cell(row, column));
        }
    }
    return rows;
}

}  // namespace mofeng::runtime
