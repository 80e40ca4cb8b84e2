#include "ui/main/KeywordFilterProxy.h"

#include <utility>

#include "ui/common/KeywordListModel.h"

namespace mofeng::ui {
namespace {

// A change of more rows than this at once is judged by a reset.
constexpr int kRowsJudgedInPlace = 64;

}  // namespace

KeywordFilterProxy::KeywordFilterProxy(KeywordListModel* source, QObject* parent)
    : QSortFilterProxyModel(parent), m_source(source) {
    setDynamicSortFilter(false);  // changed rows are judged by JudgeChangedRows
    setSourceModel(source);
    connect(source, &QAbstractItemModel::dataChanged, this, &KeywordFilterProxy::JudgeChangedRows);
}

void KeywordFilterProxy::SetCriteria(app::KeywordFilterCriteria criteria) {
    if (criteria == m_criteria) {
        return;
    }
    beginResetModel();
    m_criteria = std::move(criteria);
    m_filtering = !m_criteria.IsEmpty();
    endResetModel();  // the mapping is rebuilt on the next access
}

void KeywordFilterProxy::JudgeAllRows() {
    beginResetModel();
    endResetModel();
}

void KeywordFilterProxy::sort(int, Qt::SortOrder) {
    // The list keeps its own order.
}

bool KeywordFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (sourceParent.isValid()) {
        return false;
    }
    return !m_filtering || app::RowPasses(m_criteria, m_source->Data(), sourceRow);
}

void KeywordFilterProxy::JudgeChangedRows(const QModelIndex& topLeft,
                                          const QModelIndex& bottomRight) {
    if (!m_filtering) {
        return;
    }
    if (bottomRight.row() - topLeft.row() + 1 > kRowsJudgedInPlace) {
        JudgeAllRows();
        return;
    }
    if (!m_judgePending) {
        // Results arrive in batches of single-row changes: one pass per batch.
        m_judgePending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_judgePending = false;
                invalidateRowsFilter();
            },
            Qt::QueuedConnection);
    }
}

}  // namespace mofeng::ui
