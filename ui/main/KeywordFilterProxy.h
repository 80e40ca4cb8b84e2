#pragma once

#include <QSortFilterProxyModel>

#include "app/KeywordFilter.h"

namespace mofeng::ui {

class KeywordListModel;

// The rows of the keyword list that pass the filter bar's criteria, in the
// list's own order: it filters and never sorts (the column sort rewrites the
// list itself). Rows are judged again whenever their cells change. UI thread
// only.
class KeywordFilterProxy final : public QSortFilterProxyModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeywordFilterProxy)

public:
    explicit KeywordFilterProxy(KeywordListModel* source, QObject* parent = nullptr);

    void SetCriteria(app::KeywordFilterCriteria criteria);
    const app::KeywordFilterCriteria& Criteria() const { return m_criteria; }
    // False when every row is shown.
    bool IsFiltering() const { return !m_criteria.IsEmpty(); }

    void sort(int column, Qt::SortOrder order) override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    KeywordListModel* m_source;
    app::KeywordFilterCriteria m_criteria;
};

}  // namespace mofeng::ui
