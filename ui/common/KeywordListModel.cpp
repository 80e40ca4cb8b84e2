#include "ui/common/KeywordListModel.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <numeric>
#include <utility>

#include "app/CellDisplayText.h"
#include "query/KeptFigures.h"
#include "query/RowOutcome.h"
#include "ui/common/GbkQt.h"
#include "ui/common/OutcomeMarks.h"
#include "ui/common/ReadableFigure.h"

namespace mofeng::ui {
namespace {

const std::string kNoText;
// More ranges than this are removed or inserted under one model reset.
constexpr std::size_t kMaxSignalledRanges = 16;

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
        const std::string& figuresTime = m_data.Cell(index.row(), query::kFiguresTimeColumn);
        if (query::ShowsKeptFigures(outcome, figuresTime)) {
            return role == Qt::BackgroundRole
                       ? KeptFiguresBackground()
                       : QVariant(KeptFiguresToolTip(
                             figuresTime, m_data.Cell(index.row(), query::kReasonColumn)));
        }
        if (role == Qt::BackgroundRole) {
            return OutcomeBackground(outcome);
        }
        if (QVariant tip = OutcomeToolTip(outcome, m_data.Cell(index.row(), query::kReasonColumn));
            tip.isValid()) {
            return tip;
        }
    }
    const bool figure = HasColumn(index.column()) && m_columns[index.column()].figure;
    if (role == Qt::TextAlignmentRole && figure && m_columns[index.column()].alignRight) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
        return {};
    }
    // Converted on demand: only the visible cells are ever asked for.
    QString text =
        FromGbk(app::CellDisplayText(index.column(), m_data.Cell(index.row(), index.column())));
    return figure ? ReadableFigure(text) : text;
}

QVariant KeywordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal && HasColumn(section) &&
        !m_columns[section].help.isEmpty()) {
        return m_columns[section].help;
    }
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
    emit Cleared();
}

std::vector<std::pair<int, int>> KeywordListModel::RangesOf(const std::vector<int>& ascending) {
    std::vector<std::pair<int, int>> ranges;
    for (int position : ascending) {
        if (!ranges.empty() && ranges.back().second + 1 == position) {
            ranges.back().second = position;
        } else {
            ranges.emplace_back(position, position);
        }
    }
    return ranges;
}

std::vector<runtime::RowId> KeywordListModel::RemoveRows(std::vector<int> positions) {
    std::erase_if(positions, [this](int p) { return p < 0 || p >= m_data.RowCount(); });
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    if (positions.empty()) {
        return {};
    }
    std::vector<runtime::RowId> ids;
    ids.reserve(positions.size());
    for (int position : positions) {
        ids.push_back(m_data.IdOfRow(position));
    }
    emit RowsLeaving(ids);
    const std::vector<std::pair<int, int>> ranges = RangesOf(positions);
    if (ranges.size() > kMaxSignalledRanges) {
        // Scattered rows: one pass and one reset instead of a signal per range.
        beginResetModel();
        m_data.RemoveRows(std::move(positions));
        endResetModel();
        return ids;
    }
    for (auto range = ranges.rbegin(); range != ranges.rend(); ++range) {
        std::vector<int> block(static_cast<std::size_t>(range->second - range->first + 1));
        std::iota(block.begin(), block.end(), range->first);
        beginRemoveRows(QModelIndex(), range->first, range->second);
        m_data.RemoveRows(std::move(block));
        endRemoveRows();
    }
    return ids;
}

std::vector<runtime::RowId> KeywordListModel::InsertRows(const std::vector<int>& positions,
                                                         std::vector<runtime::Row> rows) {
    if (positions.size() != rows.size() || positions.empty() || positions.front() < 0 ||
        std::adjacent_find(positions.begin(), positions.end(), std::greater_equal<>()) !=
            positions.end()) {
        return {};
    }
    // A position past the end appends: clamp, keeping the positions ascending.
    std::vector<int> places = positions;
    const int total = m_data.RowCount() + static_cast<int>(rows.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        places[i] = std::min(places[i], total - static_cast<int>(places.size() - i));
    }
    const std::vector<std::pair<int, int>> ranges = RangesOf(places);
    if (ranges.size() > kMaxSignalledRanges) {
        beginResetModel();
        std::vector<runtime::RowId> ids = m_data.InsertRows(places, std::move(rows));
        endResetModel();
        return ids;
    }
    std::vector<runtime::RowId> ids;
    std::size_t next = 0;
    for (const auto& [first, last] : ranges) {
        const auto count = static_cast<std::size_t>(last - first + 1);
        std::vector<int> block(places.begin() + static_cast<std::ptrdiff_t>(next),
                               places.begin() + static_cast<std::ptrdiff_t>(next + count));
        std::vector<runtime::Row> blockRows(
            std::make_move_iterator(rows.begin() + static_cast<std::ptrdiff_t>(next)),
            std::make_move_iterator(rows.begin() + static_cast<std::ptrdiff_t>(next + count)));
        beginInsertRows(QModelIndex(), first, last);
        for (runtime::RowId id : m_data.InsertRows(block, std::move(blockRows))) {
            ids.push_back(id);
        }
        endInsertRows();
        next += count;
    }
    return ids;
}

runtime::Row KeywordListModel::StoredRow(int row) const {
    runtime::Row cells;
    if (row >= 0 && row < m_data.RowCount()) {
        cells.reserve(static_cast<std::size_t>(m_data.ColumnCount()));
        for (int column = 0; column < m_data.ColumnCount(); ++column) {
            cells.push_back(m_data.Cell(row, column));
        }
    }
    return cells;
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
