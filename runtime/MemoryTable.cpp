#include "runtime/MemoryTable.h"

namespace mofeng::runtime {

namespace {

std::vector<std::string> TitlesOf(const std::vector<std::pair<std::string, int>>& columns) {
    std::vector<std::string> titles;
    titles.reserve(columns.size());
    for (const auto& column : columns) {
        titles.push_back(column.first);
    }
    return titles;
}

}  // namespace

MemoryTable::MemoryTable(const std::vector<std::pair<std::string, int>>& columns)
    : m_titles(TitlesOf(columns)), m_data(static_cast<int>(m_titles.size())) {}

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
}

std::string MemoryTable::ColumnTitle(int column) {
    if (column < 0 || column >= static_cast<int>(m_titles.size())) {
        return {};
    }
    return m_titles[static_cast<std::size_t>(column)];
}

std::vector<std::string> MemoryTable::ColumnTexts(int column) {
    std::lock_guard lock(m_mutex);
    return m_data.ColumnTexts(column);
}

void MemoryTable::ReorderRows(const std::vector<int>& sourceOfPosition) {
    std::lock_guard lock(m_mutex);
    m_data.ReorderRows(sourceOfPosition);
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
