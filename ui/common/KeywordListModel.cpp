#include "ui/common/KeywordListModel.h"

#include <algorithm>
#include <utility>

#include "app/CellDisplayText.h"
#include "query/RowOutcome.h"
#include "ui/common/GbkQt.h"
#include "ui/common/OutcomeMarks.h"

namespace mofeng::ui {
namespace {

const std::string kNoText;

}  // namespace

KeywordListModel::KeywordListModel(std::vector<Column> columns, QObject* parent)
    : QAbstractTableModel(parent),
      m_columns(std::move(columns)),
      m_data(static_cast<int>(m_columns.size())),
      m_shownColumns(static_cast<int>(m_columns.size())) {}

KeywordListModel::KeywordListModel(std::vector<Column> columns, int shownColumns, QObject* parent)
    : KeywordListModel(std::move(columns), parent) {
    m_shownColumns = std::clamp(shownColumns, 0, m_data.ColumnCount());
    m_marksOutcomes = m_shownColumns <= query::kOutcomeColumn &&
                      m_data.ColumnCount() >= query::kStoredColumnCount;
}

int KeywordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_data.RowCount();
}

int KeywordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_shownColumns;
}

QVariant KeywordListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    if (m_marksOutcomes && (role == Qt::BackgroundRole || role == Qt::ToolTipRole)) {
        const std::string& outcome = m_data.Cell(index.row(), query::kOutcomeColumn);
        if (role == Qt::BackgroundRole) {
            return OutcomeBackground(outcome);
        }
        if (QVariant tip = OutcomeToolTip(outcome, m_data.Cell(index.row(), query::kReasonColumn));
            tip.isValid()) {
            return tip;
        }
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
        return {};
    }
    // Converted on demand: only the visible cells are ever asked for.
    return FromGbk(app::CellDisplayText(index.column(), m_data.Cell(index.row(), index.column())));
}

QVariant KeywordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Vertical) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return HasColumn(section) ? FromGbk(m_columns[section].title) : QVariant();
}

int KeywordListModel::AppendRows(std::vector<runtime::Row> rows) {
    if (rows.empty()) {
        return -1;
    }
    const int first = m_data.RowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    m_data.AppendRows(std::move(rows));
    endInsertRows();
    return first;
}

void KeywordListModel::SetCell(int row, int column, std::string text) {
    if (m_data.SetCell(row, column, std::move(text)) && m_shownColumns > 0) {
        const bool shown = column < m_shownColumns;
        emit dataChanged(index(row, shown ? column : 0),
                         index(row, shown ? column : LastShownColumn()),
                         {Qt::DisplayRole, Qt::ToolTipRole, Qt::BackgroundRole});
    }
}

bool KeywordListModel::SetCellsById(runtime::RowId id, int firstColumn,
                                    std::vector<std::string> texts) {
    const int row = m_data.RowOfId(id);
    if (row < 0) {
        return false;
    }
    int first = -1;
    int last = -1;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const int column = firstColumn + static_cast<int>(i);
        if (m_data.SetCell(row, column, std::move(texts[i]))) {
            first = first < 0 ? column : first;
            last = column;
        }
    }
    if (first >= 0 && m_shownColumns > 0) {
        if (last >= m_shownColumns) {
            first = 0;
            last = LastShownColumn();
        }
        emit dataChanged(index(row, first), index(row, last),
                         {Qt::DisplayRole, Qt::ToolTipRole, Qt::BackgroundRole});
    }
    return true;
}

void KeywordListModel::Clear() {
    if (m_data.RowCount() == 0) {
        return;
    }
    beginResetModel();
    m_data.Clear();
    endResetModel();
}

void KeywordListModel::ReorderRows(const std::vector<int>& sourceOfPosition) {
    if (!m_data.ReorderRows(sourceOfPosition) || m_data.RowCount() == 0 || m_shownColumns == 0) {
        return;
    }
    emit dataChanged(index(0, 0), index(m_data.RowCount() - 1, LastShownColumn()),
                     {Qt::DisplayRole, Qt::ToolTipRole, Qt::BackgroundRole});
}

const std::string& KeywordListModel::ColumnTitle(int column) const {
    return HasColumn(column) ? m_columns[column].title : kNoText;
}

int KeywordListModel::ColumnWidth(int column) const {
    return HasColumn(column) ? m_columns[column].width : 0;
}

void KeywordListModel::SetColumnWidth(int column, int width) {
    if (HasColumn(column)) {
        m_columns[column].width = width;
    }
}

}  // namespace mofeng::ui
