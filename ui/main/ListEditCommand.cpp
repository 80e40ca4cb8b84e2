#include "ui/main/ListEditCommand.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "ui/common/KeywordListModel.h"

namespace mofeng::ui {

ListEditCommand::ListEditCommand(Kind kind, KeywordListModel& model,
                                 std::shared_ptr<RowIdTrail> trail, const QString& text,
                                 std::vector<int> positions, std::vector<runtime::Row> rows)
    : QUndoCommand(text), m_kind(kind), m_model(model), m_trail(std::move(trail)) {
    const runtime::TableData& data = model.Data();
    switch (kind) {
        case Kind::AddRows: {
            const int first = data.RowCount();
            for (std::size_t i = 0; i < rows.size(); ++i) {
                m_positions.push_back(first + static_cast<int>(i));
            }
            m_rows = std::move(rows);
            break;
        }
        case Kind::RemoveRows:
            for (int position : positions) {
                if (runtime::RowId id = data.IdOfRow(position); id != 0) {
                    m_ids.push_back(id);
                }
            }
            break;
        case Kind::Clear:
            break;
    }
}

void ListEditCommand::redo() {
    if (m_kind == Kind::AddRows) {
        PutBack();
    } else {
        TakeOut();
    }
}

void ListEditCommand::undo() {
    if (m_kind == Kind::AddRows) {
        TakeOut();
    } else {
        PutBack();
    }
}

void ListEditCommand::TakeOut() {
    const runtime::TableData& data = m_model.Data();
    m_positions.clear();
    if (m_kind == Kind::Clear) {
        for (int row = 0; row < data.RowCount(); ++row) {
            m_positions.push_back(row);
        }
    } else {
        for (runtime::RowId id : m_ids) {
            if (const int row = data.RowOfId(m_trail->Current(id)); row >= 0) {
                m_positions.push_back(row);
            }
        }
        std::sort(m_positions.begin(), m_positions.end());
    }
    m_rows.clear();
    m_rows.reserve(m_positions.size());
    m_ids.clear();
    for (int row : m_positions) {
        m_rows.push_back(m_model.StoredRow(row));
        m_ids.push_back(data.IdOfRow(row));
    }
    m_affected = static_cast<int>(m_positions.size());
    if (m_kind == Kind::Clear) {
        m_model.Clear();
    } else {
        m_model.RemoveRows(m_positions);
    }
}

void ListEditCommand::PutBack() {
    m_affected = static_cast<int>(m_rows.size());
    std::vector<runtime::RowId> fresh;
    if (!m_rows.empty()) {
        fresh = m_model.InsertRows(m_positions, std::exchange(m_rows, {}));
    }
    for (std::size_t i = 0; i < fresh.size() && i < m_ids.size(); ++i) {
        m_trail->Moved(m_ids[i], fresh[i]);
    }
    m_ids = std::move(fresh);
    m_positions.clear();
}

std::vector<runtime::Row> NumberedKeywordRows(std::vector<std::string> keywords,
                                              int keywordColumn) {
    std::vector<runtime::Row> rows;
    rows.reserve(keywords.size());
    int number = 0;
    for (std::string& keyword : keywords) {
        const auto at = static_cast<std::size_t>(std::max(keywordColumn, 0));
        runtime::Row row(at + 1);
        row[at] = std::move(keyword);
        row[0] = std::to_string(++number);  // with the keyword in column 0 the number wins
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<int> RepeatedRows(const runtime::TableData& data, int column) {
    std::vector<int> repeats;
    std::unordered_set<std::string_view> seen;
    seen.reserve(static_cast<std::size_t>(data.RowCount()));
    for (int row = 0; row < data.RowCount(); ++row) {
        if (!seen.insert(data.Cell(row, column)).second) {
            repeats.push_back(row);
        }
    }
    return repeats;
}

}  // namespace mofeng::ui
