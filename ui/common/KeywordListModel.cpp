#include "ui/common/KeywordListModel.h"

#include <QScopeGuard>

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
    : KeywordListModel(std::move(columns), -1, parent) {}

KeywordListModel::KeywordListModel(std::vector<Column> columns, int shownColumns, QObject* parent)
    : QAbstractTableModel(parent),
      m_columns(std::move(columns)),
      m_data(static_cast<int>(m_columns.size())),
      m_filled(m_columns.size(), 0) {
    m_leading =
        shownColumns < 0 ? m_data.ColumnCount() : std::clamp(shownColumns, 0, m_data.ColumnCount());
    m_shown.resize(static_cast<std::size_t>(m_leading));
    std::iota(m_shown.begin(), m_shown.end(), 0);
    m_marksOutcomes =
        m_leading <= query::kOutcomeColumn && m_data.ColumnCount() >= query::kStoredColumnCount;
}

int KeywordListModel::StorageColumn(int modelColumn) const {
    return modelColumn >= 0 && modelColumn < static_cast<int>(m_shown.size())
               ? m_shown[static_cast<std::size_t>(modelColumn)]
               : -1;
}

int KeywordListModel::ViewColumn(int storageColumn) const {
    const auto at = std::find(m_shown.begin(), m_shown.end(), storageColumn);
    return at == m_shown.end() ? -1 : static_cast<int>(at - m_shown.begin());
}

bool KeywordListModel::IsOptional(int storageColumn) const {
    return storageColumn >= m_leading && HasColumn(storageColumn) &&
           m_columns[static_cast<std::size_t>(storageColumn)].optional;
}

void KeywordListModel::CountOptional(int first, int last, int sign) {
    for (int column = m_leading; column < m_data.ColumnCount(); ++column) {
        if (!IsOptional(column)) {
            continue;
        }
        int held = 0;
        for (int row = first; row <= last; ++row) {
            held += m_data.Cell(row, column).empty() ? 0 : 1;
        }
        m_filled[static_cast<std::size_t>(column)] += sign * held;
    }
}

void KeywordListModel::CountChange(int column, const std::string& before,
                                   const std::string& after) {
    if (IsOptional(column) && before.empty() != after.empty()) {
        m_filled[static_cast<std::size_t>(column)] += after.empty() ? -1 : 1;
    }
}

void KeywordListModel::SyncOptionalColumns() {
    std::size_t position = static_cast<std::size_t>(m_leading);
    for (int column = m_leading; column < m_data.ColumnCount(); ++column) {
        if (!IsOptional(column)) {
            continue;
        }
        const bool wanted = m_filled[static_cast<std::size_t>(column)] > 0;
        const bool shown = position < m_shown.size() && m_shown[position] == column;
        const int at = static_cast<int>(position);
        if (wanted && !shown) {
            beginInsertColumns(QModelIndex(), at, at);
            m_shown.insert(m_shown.begin() + at, column);
            endInsertColumns();
        } else if (!wanted && shown) {
            beginRemoveColumns(QModelIndex(), at, at);
            m_shown.erase(m_shown.begin() + at);
            endRemoveColumns();
            continue;
        }
        position += wanted ? 1 : 0;
    }
}

void KeywordListModel::EmitRowChanged(int row, int first, int last) {
    if (m_shown.empty()) {
        return;
    }
    int from = -1;
    int to = -1;
    bool hidden = false;
    for (int column = first; column <= last; ++column) {
        const int view = ViewColumn(column);
        if (view < 0) {
            hidden = true;
            continue;
        }
        from = from < 0 ? view : std::min(from, view);
        to = std::max(to, view);
    }
    if (hidden && !IsOptional(first)) {
        // A stored-only cell may change the row's mark: repaint the row.
        from = 0;
        to = LastShownColumn();
    }
    if (from >= 0) {
        emit dataChanged(index(row, from), index(row, to),
                         {Qt::DisplayRole, Qt::ToolTipRole, Qt::BackgroundRole});
    }
}

int KeywordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_data.RowCount();
}

int KeywordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
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
    const int column = StorageColumn(index.column());
    const bool figure = HasColumn(column) && m_columns[column].figure;
    if (role == Qt::TextAlignmentRole && figure && m_columns[column].alignRight) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
        return {};
    }
    // Converted on demand: only the visible cells are ever asked for.
    if (role == Qt::ToolTipRole && m_cellTip) {
        if (QVariant tip = m_cellTip(m_data, index.row(), column); tip.isValid()) {
            return tip;
        }
    }
    QString text = FromGbk(app::CellDisplayText(column, m_data.Cell(index.row(), column)));
    return figure ? ReadableFigure(text) : text;
}

QVariant KeywordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        section = StorageColumn(section);
    }
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
    const int last = first + static_cast<int>(rows.size()) - 1;
    beginInsertRows(QModelIndex(), first, last);
    m_data.AppendRows(std::move(rows));
    endInsertRows();
    CountOptional(first, last, 1);
    SyncOptionalColumns();
    return first;
}

void KeywordListModel::SetCell(int row, int column, std::string text) {
    const std::string before = m_data.Cell(row, column);
    const std::string after = text;
    if (m_data.SetCell(row, column, std::move(text))) {
        CountChange(column, before, after);
        SyncOptionalColumns();
        EmitRowChanged(row, column, column);
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
        const std::string before = m_data.Cell(row, column);
        const bool empty = texts[i].empty();
        if (m_data.SetCell(row, column, std::move(texts[i]))) {
            if (IsOptional(column) && before.empty() != empty) {
                m_filled[static_cast<std::size_t>(column)] += empty ? -1 : 1;
            }
            first = first < 0 ? column : first;
            last = column;
        }
    }
    if (first >= 0) {
        SyncOptionalColumns();
        EmitRowChanged(row, first, last);
    }
    return true;
}

void KeywordListModel::Clear() {
    if (m_data.RowCount() == 0) {
        return;
    }
    beginResetModel();
    m_data.Clear();
    std::fill(m_filled.begin(), m_filled.end(), 0);
    m_shown.resize(static_cast<std::size_t>(m_leading));
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
    for (const auto& [first, last] : ranges) {
        CountOptional(first, last, -1);
    }
    const auto sync = qScopeGuard([this] { SyncOptionalColumns(); });
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
        for (int place : places) {
            CountOptional(place, place, 1);
        }
        SyncOptionalColumns();
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
    for (const auto& [first, last] : ranges) {
        CountOptional(first, last, 1);
    }
    SyncOptionalColumns();
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
    if (!m_data.ReorderRows(sourceOfPosition) || m_data.RowCount() == 0 || m_shown.empty()) {
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
