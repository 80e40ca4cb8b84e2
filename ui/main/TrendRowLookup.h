#pragma once

#include <QModelIndex>

#include <optional>

#include "app/TrendSeriesCell.h"

namespace mofeng::ui {

class KeywordListModel;

// The keyword list row behind a view's index, through any proxy models
// between the view and the list; model is null when the index does not come
// from a KeywordListModel.
struct KeywordListRow {
    const KeywordListModel* model = nullptr;
    int row = -1;
};
KeywordListRow KeywordListRowOf(const QModelIndex& index);

// The seven-day series the query stored with the row (query::kSeriesColumn);
// nullopt for a row without one, or one that does not exist.
std::optional<app::SeriesValues> StoredSeries(const KeywordListRow& row);

}  // namespace mofeng::ui
