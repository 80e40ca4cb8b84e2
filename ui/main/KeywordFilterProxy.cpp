#include "ui/main/KeywordFilterProxy.h"

#include <utility>

#include "ui/common/KeywordListModel.h"

namespace mofeng::ui {

KeywordFilterProxy::KeywordFilterProxy(KeywordListModel* source, QObject* parent)
    : QSortFilterProxyModel(parent), m_source(source) {
    setSourceModel(source);
    setDynamicSortFilter(true);  // a row is judged again when its cells change
}

void KeywordFilterProxy::SetCriteria(app::KeywordFilterCriteria criteria) {
    if (criteria == m_criteria) {
        return;
    }
    m_criteria = std::move(criteria);
    invalidateRowsFilter();
}

void KeywordFilterProxy::sort(int, Qt::SortOrder) {
    // The list keeps its own order.
}

bool KeywordFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (sourceParent.isValid()) {
        return false;
    }
    return m_criteria.IsEmpty() || app::RowPasses(m_criteria, m_source->Data(), sourceRow);
}

}  // namespace mofeng::ui
