#include "ui/KeywordListModel.h"

#include <utility>

#include "ui/GbkQt.h"

namespace mofeng::ui {
namespace {

const std::string kNoText;

}  // namespace

KeywordListModel::KeywordListModel(std::vector<Column> columns, QObject* parent)
    : QAbstractTableModel(parent),
      m_columns(std::move(columns)),
      m_data(static_cast<int>(m_columns.size())) {}

int KeywordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_data.RowCount();
}

int KeywordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_data.ColumnCount();
}

QVariant KeywordListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    // Converted on demand: only the visible cells are ever asked for.
    return FromGbk(m_data.Cell(index.row(), index.column()));
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
    if (m_data.SetCell(row, column, std::move(text))) {
        const QModelIndex cell = index(row, column);
        emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::ToolTipRole});
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
    if (first >= 0) {
        emit dataChanged(index(row, first), index(row, last), {Qt::DisplayRole, Qt::ToolTipRole});
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
    if (!m_data.ReorderRows(sourceOfPosition) || m_data.RowCount() == 0 ||
        m_data.ColumnCount() == 0) {
        return;
    }
    emit dataChanged(index(0, 0), index(m_data.RowCount() - 1, m_data.ColumnCount() - 1),
                     {Qt::DisplayRole, Qt::ToolTipRole});
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
