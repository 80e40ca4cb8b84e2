#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "app/MarketColumns.h"
#include "runtime/Table.h"

namespace mofeng::app {

// The market figures of a stored keyword-list row (its optional market
// cells; a short row has none).
MarketRow MarketRowOfCells(const runtime::Row& row);
// Writes the figures into the row's market cells and the mark of a
// 需求供给比 computed from our 宝贝数量; the row grows to the storage width.
void PutMarketRow(runtime::Row& row, const MarketRow& market);

// 需求供给比 of a stored row, after its 宝贝数量 or its market figures
// changed: completed where missing (CompleteDemandSupply), recomputed where it
// came from our 宝贝数量. True when a cell changed.
bool RefreshDemandSupply(runtime::Row& row);
// The same for the table's row at this position.
bool RefreshDemandSupply(runtime::Table& table, int row);

// What sorting and the filter bar judge of a Market cell: the middle of its
// figure, a leading sign applied ("+3.2%" is 3.2); nullopt without a figure.
std::optional<double> MarketCellNumber(std::string_view text);

// The sort and filter key of a cell of the keyword list: for a Market column
// MarketCellNumber written as a plain decimal (empty without a figure), for
// every other column the text itself.
std::string SortKeyText(int column, std::string_view text);
// SortKeyText of every text of a column.
std::vector<std::string> SortKeyTexts(int column, std::vector<std::string> texts);

// Imported rows that carry market figures and name a keyword the table (or an
// earlier such row of the same batch) already holds are merged into that row
// (MergeMarketRow, then RefreshDemandSupply) and taken out of rows; the rest
// stay, in order. Returns how many were merged.
int MergeMarketRows(runtime::Table& table, std::vector<runtime::Row>& rows, int keywordColumn);

}  // namespace mofeng::app
