#pragma once

#include <QSortFilterProxyModel>

#include "app/KeywordFilter.h"

namespace mofeng::ui {

class KeywordListModel;

// The rows of the keyword list that pass the filter bar's criteria, in the
// list's own order: it filters and never sorts (the column sort rewrites the
// list itself). Rows whose cells change are judged again: a few rows (query
// results) once per turn of the event loop, keeping the selection; a change
// of the criteria or of many rows at once (a sort) by a reset, since moving
// scattered ranges one at a time over 100,000 rows would cost seconds. The
// view's selection does not survive a reset. UI thread only.
class KeywordFilterProxy final : public QSortFilterProxyModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeywordFilterProxy)

public:
    explicit KeywordFilterProxy(KeywordListModel* source, QObject* parent = nullptr);

    // A reset when the criteria differ from the current ones.
    void SetCriteria(app::KeywordFilterCriteria criteria);
    const app::KeywordFilterCriteria& Criteria() const { return m_criteria; }
    // False when every row is shown.
    bool IsFiltering() const { return m_filtering; }
    // Judges every row again now, by a reset (after a sort rewrote the list).
    void JudgeAllRows();

    void sort(int column, Qt::SortOrder order) override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    void JudgeChangedRows(const QModelIndex& topLeft, const QModelIndex& bottomRight);

    KeywordListModel* m_source;
    app::KeywordFilterCriteria m_criteria;
    bool m_filtering = false;
    bool m_judgePending = false;
};

}  // namespace mofeng::ui
