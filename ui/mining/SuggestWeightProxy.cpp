#include "ui/mining/SuggestWeightProxy.h"

#include "query/SuggestWeight.h"
#include "ui/common/GbkQt.h"
#include "ui/common/KeywordListModel.h"
#include "ui/common/ReadableFigure.h"

namespace mofeng::ui {

SuggestWeightProxy::SuggestWeightProxy(KeywordListModel* list, int weightColumn, QObject* parent)
    : QIdentityProxyModel(parent), m_list(list), m_weightColumn(weightColumn) {
    setSourceModel(list);
}

QVariant SuggestWeightProxy::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() != m_weightColumn ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return QIdentityProxyModel::data(index, role);
    }
    const std::string& weight = m_list->Data().Cell(index.row(), m_weightColumn);
    if (role == Qt::ToolTipRole) {
        return weight.empty() ? QVariant() : QVariant(FromGbk(weight));
    }
    return ReadableFigure(FromGbk(query::SuggestWeightDisplay(weight)));
}

}  // namespace mofeng::ui
