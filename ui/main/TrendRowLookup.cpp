#include "ui/main/TrendRowLookup.h"

#include <QAbstractProxyModel>

#include "query/RowOutcome.h"
#include "ui/common/KeywordListModel.h"

namespace mofeng::ui {

KeywordListRow KeywordListRowOf(const QModelIndex& index) {
    QModelIndex source = index;
    while (const auto* proxy = qobject_cast<const QAbstractProxyModel*>(source.model())) {
        source = proxy->mapToSource(source);
    }
    const auto* model = qobject_cast<const KeywordListModel*>(source.model());
    if (model == nullptr || !source.isValid()) {
        return {};
    }
    return {model, source.row()};
}

std::optional<app::SeriesValues> StoredSeries(const KeywordListRow& row) {
    if (row.model == nullptr || row.row < 0 || row.row >= row.model->Data().RowCount()) {
        return std::nullopt;
    }
    return app::ParseSeriesCell(row.model->Data().Cell(row.row, query::kSeriesColumn));
}

}  // namespace mofeng::ui
