#pragma once

#include <QAbstractTableModel>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "runtime/TableData.h"

namespace mofeng::ui {

// A text list (the keyword list, the mining list) as a Qt table model.
// UI thread only; other threads go through ModelTable. Cells are GBK bytes:
// the display converts them to Unicode and never changes the stored bytes.
class KeywordListModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeywordListModel)

public:
    struct Column {
        Column(std::string title, int width, bool figure = false, QString help = {},
               bool alignRight = false)
            : title(std::move(title)),
              width(width),
              figure(figure),
              help(std::move(help)),
              alignRight(alignRight) {}

        std::string title;  // GBK
        int width;          // pixels
        // Shown after the leading shown columns (in column order) only while
        // some row holds a text in it.
        bool optional = false;
        // A figure column shows its cells readable (ReadableFigure), and
        // right-aligned unless it draws beside its text (the trend's line);
        // help is the header's tooltip.
        bool figure;
        QString help;
        bool alignRight;
    };

    explicit KeywordListModel(std::vector<Column> columns, QObject* parent = nullptr);
    // Stores every column but shows only the first shownColumns, then the
    // optional columns some row holds; the keyword list's stored outcome
    // cells (query/RowOutcome.h), when it has them, mark its rows
    // (ui/OutcomeMarks.h). Model columns are the shown ones: StorageColumn
    // and ViewColumn translate.
    KeywordListModel(std::vector<Column> columns, int shownColumns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The storage, for reads. Change rows only through the members below,
    // which emit the signals the views rely on.
    runtime::TableData& Data() { return m_data; }
    const runtime::TableData& Data() const { return m_data; }

    // Appends rows (padded or cut to the column count) in one insertion.
    // Position of the first new row, -1 when rows is empty.
    int AppendRows(std::vector<runtime::Row> rows);
    // Out-of-range row or column: nothing happens.
    void SetCell(int row, int column, std::string text);
    // Writes texts into consecutive columns from firstColumn (extra texts are
    // dropped); false when the row with this id no longer exists.
    bool SetCellsById(runtime::RowId id, int firstColumn, std::vector<std::string> texts);
    // Emits Cleared.
    void Clear();
    // Removes the rows at these positions (any order, strays ignored); emits
    // RowsLeaving first. Returns the ids removed, top to bottom.
    std::vector<runtime::RowId> RemoveRows(std::vector<int> positions);
    // runtime::TableData::InsertRows: each row ends up at its position
    // (ascending); returns the rows' fresh ids, empty when refused.
    std::vector<runtime::RowId> InsertRows(const std::vector<int>& positions,
                                           std::vector<runtime::Row> rows);
    // Every stored cell of the row, hidden ones too; empty when out of range.
    runtime::Row StoredRow(int row) const;
    // New position p receives the row now at sourceOfPosition[p]; anything but
    // a permutation of the rows is ignored. Emitted as a change of every cell,
    // not as a layout change, so selections stay at their positions.
    void ReorderRows(const std::vector<int>& sourceOfPosition);

    // A cell's own tooltip (by stored column), asked before its text is
    // shown as the tooltip; an invalid QVariant leaves the text.
    using CellTip = std::function<QVariant(const runtime::TableData& data, int row, int column)>;
    void SetCellTip(CellTip tip) { m_cellTip = std::move(tip); }

    // The stored column a model column shows; -1 for none.
    int StorageColumn(int modelColumn) const;
    // The model column showing a stored column; -1 while it is not shown.
    int ViewColumn(int storageColumn) const;
    // The stored columns shown, in model column order.
    const std::vector<int>& ShownColumns() const { return m_shown; }
    // Whether a stored column is one of the optional ones.
    bool IsOptional(int storageColumn) const;

    // By stored column: empty text / 0 for a column that does not exist.
    const std::string& ColumnTitle(int column) const;
    int ColumnWidth(int column) const;
    // Records the width the user gave the column (connect to the header's
    // sectionResized); ignored for a column that does not exist.
    void SetColumnWidth(int column, int width);

signals:
    // Every row is gone (Clear). A removal of some rows may also reset the
    // model, so a reset alone does not mean the list was cleared.
    void Cleared();
    // These rows are about to be removed (not emitted by Clear).
    void RowsLeaving(const std::vector<runtime::RowId>& ids);

private:
    // Consecutive positions [first, last] of an ascending list of positions.
    static std::vector<std::pair<int, int>> RangesOf(const std::vector<int>& ascending);

    bool HasColumn(int column) const {
        return column >= 0 && column < static_cast<int>(m_columns.size());
    }

    // The last shown column a change of this row repaints: all of them when
    // a stored-only cell (which may change the row's mark) changed.
    int LastShownColumn() const { return static_cast<int>(m_shown.size()) - 1; }

    // Counts the texts of the optional columns in rows [first, last] (sign
    // +1 when they came, -1 when they go).
    void CountOptional(int first, int last, int sign);
    // Notes a cell about to change from `before` to `after`.
    void CountChange(int column, const std::string& before, const std::string& after);
    // Shows the optional columns that hold a text and hides the others.
    void SyncOptionalColumns();
    // dataChanged of one row for a change of stored columns [first, last].
    void EmitRowChanged(int row, int first, int last);

    std::vector<Column> m_columns;
    runtime::TableData m_data;
    std::vector<int> m_shown;   // stored column of each model column
    std::vector<int> m_filled;  // texts held, by stored column (optional ones)
    int m_leading = 0;
    bool m_marksOutcomes = false;
    CellTip m_cellTip;
};

}  // namespace mofeng::ui
