#include "runtime/TableData.h"

#include <functional>
#include <unordered_map>
#include <utility>

namespace mofeng::runtime {
namespace {

const std::string kEmptyText;

std::size_t HashOf(std::string_view text) noexcept {
    return std::hash<std::string_view>{}(text);
}

}  // namespace

// How many cells of one column have each text hash. A hash that is absent
// proves the text absent without a scan; a present one is confirmed by a scan.
// Holding hashes rather than copies keeps the index small at a million rows.
class TableData::ColumnIndex {
public:
    explicit ColumnIndex(std::size_t expected) { m_counts.reserve(expected); }
    void Add(std::string_view text) { ++m_counts[HashOf(text)]; }
    void Remove(std::string_view text) {
        auto it = m_counts.find(HashOf(text));
        if (it != m_counts.end() && --it->second == 0) {
            m_counts.erase(it);
        }
    }
    bool MayContain(std::string_view text) const { return m_counts.contains(HashOf(text)); }
    void Clear() { m_counts.clear(); }

private:
    std::unordered_map<std::size_t, int> m_counts;
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
        index->Remove(cell);
        index->Add(text);
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
                index->Add(row[column]);
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
        slot = std::make_unique<ColumnIndex>(m_ids.size());
        for (int row = 0; row < RowCount(); ++row) {
            slot->Add(CellRef(row, column));
        }
    }
    return *slot;
}

int TableData::FindRow(std::string_view text, int column) const {
    if (column < 0 || column >= m_columnCount || !IndexOf(column).MayContain(text)) {
        return -1;
    }
    for (int row = 0; row < RowCount(); ++row) {
        if (CellRef(row, column) == text) {
            return row;
        }
    }
    return -1;
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
    return true;  // the column indexes count texts, which a reorder keeps
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
