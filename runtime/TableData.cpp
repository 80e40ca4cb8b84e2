#include "runtime/TableData.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <unordered_map>
#include <utility>

namespace mofeng::runtime {
namespace {

const std::string kEmptyText;

std::size_t HashOf(std::string_view text) noexcept {
    return std::hash<std::string_view>{}(text);
}

}  // namespace

// Per text hash of one column, the ids of the rows whose cell has it, in
// ascending position. A lookup checks only those rows, first the topmost, so
// hits and misses alike cost O(1) on average while texts are mostly distinct.
// Appends keep the order for free; SetCell moves one id; a reorder drops the
// index, which the next lookup rebuilds.
class TableData::ColumnIndex {
public:
    ColumnIndex(const TableData& table, int column) : m_column(column) {
        m_rows.reserve(table.m_ids.size());
        for (int row = 0; row < table.RowCount(); ++row) {
            Append(table.CellRef(row, column), table.m_ids[row]);
        }
    }

    // id is the bottom row.
    void Append(std::string_view text, RowId id) { m_rows[HashOf(text)].push_back(id); }

    // The cell of row id changes from one text to another.
    void Change(const TableData& table, std::string_view from, std::string_view to, RowId id) {
        if (auto it = m_rows.find(HashOf(from)); it != m_rows.end()) {
            std::vector<RowId>& ids = it->second;
            if (auto at = std::find(ids.begin(), ids.end(), id); at != ids.end()) {
                ids.erase(at);
            }
            if (ids.empty()) {
                m_rows.erase(it);
            }
        }
        std::vector<RowId>& ids = m_rows[HashOf(to)];
        const int position = table.RowOfId(id);
        ids.insert(std::lower_bound(ids.begin(), ids.end(), position,
                                    [&](RowId other, int p) { return table.RowOfId(other) < p; }),
                   id);
    }

    // The rows holding text, top to bottom, until found returns true.
    template <typename Found>
    void Visit(const TableData& table, std::string_view text, Found found) const {
        const auto it = m_rows.find(HashOf(text));
        if (it == m_rows.end()) {
            return;
        }
        for (RowId id : it->second) {
            const int row = table.RowOfId(id);
            if (table.CellRef(row, m_column) == text && found(row)) {
                return;
            }
        }
    }

    int Find(const TableData& table, std::string_view text) const {
        int first = -1;
        Visit(table, text, [&](int row) {
            first = row;
            return true;
        });
        return first;
    }

    void Clear() { m_rows.clear(); }

private:
    int m_column;
    std::unordered_map<std::size_t, std::vector<RowId>> m_rows;
};

TableData::TableData(int columnCount)
    : m_columnCount(columnCount > 0 ? columnCount : 0),
      m_indexes(static_cast<std::size_t>(m_columnCount)) {}

TableData::~TableData() = default;
TableData::TableData(TableData&&) noexcept = default;
TableData& TableData::operator=(TableData&&) noexcept = default;

const std::string& TableData::Cell(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= m_columnCount) {
        return kEmptyText;
    }
    return CellRef(row, column);
}

bool TableData::SetCell(int row, int column, std::string text) {
    if (row < 0 || row >= RowCount() || column < 0 || column >= m_columnCount) {
        return false;
    }
    std::string& cell = CellRef(row, column);
    if (ColumnIndex* index = m_indexes[column].get()) {
        index->Change(*this, cell, text, m_ids[row]);
    }
    cell = std::move(text);
    return true;
}

int TableData::AppendRows(std::vector<Row> rows) {
    if (rows.empty()) {
        return -1;
    }
    const int first = RowCount();
    // No exact reserve here: it would defeat the vectors' geometric growth and
    // make every batch copy the whole table.
    for (Row& row : rows) {
        row.resize(static_cast<std::size_t>(m_columnCount));
        for (int column = 0; column < m_columnCount; ++column) {
            if (ColumnIndex* index = m_indexes[column].get()) {
                index->Append(row[column], m_nextId);
            }
            m_cells.push_back(std::move(row[column]));
        }
        m_positionOfId.push_back(RowCount());
        m_ids.push_back(m_nextId++);
    }
    return first;
}

TableData::ColumnIndex& TableData::IndexOf(int column) const {
    std::unique_ptr<ColumnIndex>& slot = m_indexes[column];
    if (!slot) {
        slot = std::make_unique<ColumnIndex>(*this, column);
    }
    return *slot;
}

int TableData::FindRow(std::string_view text, int column) const {
    if (column < 0 || column >= m_columnCount) {
        return -1;
    }
    return IndexOf(column).Find(*this, text);
}

std::vector<int> TableData::FindRows(std::string_view text, int column) const {
    std::vector<int> rows;
    if (column >= 0 && column < m_columnCount) {
        IndexOf(column).Visit(*this, text, [&](int row) {
            rows.push_back(row);
            return false;
        });
    }
    return rows;
}

void TableData::Clear() {
    m_cells.clear();
    m_ids.clear();
    m_positionOfId.clear();
    m_firstId = m_nextId;
    for (auto& index : m_indexes) {
        if (index) {
            index->Clear();
        }
    }
}

std::vector<RowId> TableData::RemoveRows(std::vector<int> positions) {
    std::vector<RowId> removed;
    std::vector<char> gone(m_ids.size(), 0);
    for (int position : positions) {
        if (position >= 0 && position < RowCount()) {
            gone[static_cast<std::size_t>(position)] = 1;
        }
    }
    int kept = 0;
    for (int row = 0; row < RowCount(); ++row) {
        const RowId id = m_ids[row];
        if (gone[static_cast<std::size_t>(row)]) {
            removed.push_back(id);
            m_positionOfId[id - m_firstId] = -1;
            continue;
        }
        if (kept != row) {
            std::move(m_cells.begin() + static_cast<std::ptrdiff_t>(row) * m_columnCount,
                      m_cells.begin() + static_cast<std::ptrdiff_t>(row + 1) * m_columnCount,
                      m_cells.begin() + static_cast<std::ptrdiff_t>(kept) * m_columnCount);
            m_ids[kept] = id;
        }
        m_positionOfId[id - m_firstId] = kept++;
    }
    if (removed.empty()) {
        return removed;
    }
    m_cells.resize(static_cast<std::size_t>(kept) * m_columnCount);
    m_ids.resize(static_cast<std::size_t>(kept));
    for (auto& index : m_indexes) {
        index.reset();  // positions moved: rebuilt by the next lookup
    }
    return removed;
}

std::vector<RowId> TableData::InsertRows(const std::vector<int>& positions, std::vector<Row> rows) {
    std::vector<RowId> inserted;
    if (positions.size() != rows.size() || rows.empty() || positions.front() < 0 ||
        std::adjacent_find(positions.begin(), positions.end(), std::greater_equal<>()) !=
            positions.end()) {
        return inserted;
    }
    const std::size_t total = m_ids.size() + rows.size();
    std::vector<std::string> cells;
    cells.reserve(total * static_cast<std::size_t>(m_columnCount));
    std::vector<RowId> ids;
    ids.reserve(total);
    std::size_t next = 0;  // of rows
    std::size_t old = 0;   // of the existing rows
    while (ids.size() < total) {
        const bool takeNew =
            next < rows.size() &&
            (static_cast<std::size_t>(positions[next]) <= ids.size() || old == m_ids.size());
        if (takeNew) {
            Row& row = rows[next++];
            row.resize(static_cast<std::size_t>(m_columnCount));
            std::move(row.begin(), row.end(), std::back_inserter(cells));
            m_positionOfId.push_back(-1);
            inserted.push_back(m_nextId);
            ids.push_back(m_nextId++);
        } else {
            auto first = m_cells.begin() + static_cast<std::ptrdiff_t>(old) * m_columnCount;
            std::move(first, first + m_columnCount, std::back_inserter(cells));
            ids.push_back(m_ids[old++]);
        }
    }
    m_cells = std::move(cells);
    m_ids = std::move(ids);
    for (int row = 0; row < RowCount(); ++row) {
        m_positionOfId[m_ids[row] - m_firstId] = row;
    }
    for (auto& index : m_indexes) {
        index.reset();
    }
    return inserted;
}

bool TableData::ReorderRows(const std::vector<int>& sourceOfPosition) {
    const int rowCount = RowCount();
    if (static_cast<int>(sourceOfPosition.size()) != rowCount) {
        return false;
    }
    std::vector<char> taken(static_cast<std::size_t>(rowCount), 0);
    for (int source : sourceOfPosition) {
        if (source < 0 || source >= rowCount || taken[source]) {
            return false;
        }
        taken[source] = 1;
    }
    std::vector<std::string> cells(m_cells.size());
    std::vector<RowId> ids(m_ids.size());
    for (int position = 0; position < rowCount; ++position) {
        const int source = sourceOfPosition[position];
        for (int column = 0; column < m_columnCount; ++column) {
            cells[static_cast<std::size_t>(position) * m_columnCount + column] =
                std::move(CellRef(source, column));
        }
        ids[position] = m_ids[source];
        m_positionOfId[m_ids[source] - m_firstId] = position;
    }
    m_cells = std::move(cells);
    m_ids = std::move(ids);
    for (auto& index : m_indexes) {
        index.reset();  // ordered by position: rebuilt by the next lookup
    }
    return true;
}

std::vector<std::string> TableData::ColumnTexts(int column) const {
    std::vector<std::string> texts;
    if (column < 0 || column >= m_columnCount) {
        return texts;
    }
    texts.reserve(m_ids.size());
    for (int row = 0; row < RowCount(); ++row) {
        texts.push_back(CellRef(row, column));
    }
    return texts;
}

RowId TableData::IdOfRow(int row) const {
    return row >= 0 && row < RowCount() ? m_ids[row] : 0;
}

int TableData::RowOfId(RowId id) const {
    if (id < m_firstId || id >= m_nextId) {
        return -1;
    }
    return m_positionOfId[id - m_firstId];
}

}  // namespace mofeng::runtime
