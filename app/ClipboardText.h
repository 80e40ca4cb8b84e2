#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/MarketColumns.h"
#include "runtime/Table.h"

namespace mofeng::app {

// The given rows of the first columnCount columns as a spreadsheet takes them
// from the clipboard: the captions first, then one line per row, cells
// separated by tabs, lines ended by CR LF; a cell holding a tab, a line break
// or a quote is quoted as in CSV; cells as CellDisplayText shows them. GBK.
std::string CopiedRowsText(runtime::Table& table, const std::vector<int>& rows, int columnCount);
// The same with the columns given by storage index, in this order
// (LeadingAndPresentColumns).
std::string CopiedRowsText(runtime::Table& table, const std::vector<int>& rows,
                           const std::vector<int>& columns);

// The keywords of pasted text (GBK), top to bottom. Text with a tab is read
// as copied cells (quoted as CopiedRowsText writes them): the column whose
// first line says 关键词 (that line left out), or else the first column.
// Other text gives one keyword per line (LF or CR LF). Empty lines are left
// out.
std::vector<std::string> PastedKeywords(std::string_view text);

// A keyword of a pasted table with the market figures of its line.
struct PastedMarketRow {
    std::string keyword;
    MarketRow market;
};
// The rows of a pasted table (text with a tab) whose caption row, among its
// first ten lines (notes may come first), names the keyword column and at
// least one market figure (MarketColumnsOfHeader): every line below it with a
// keyword, in order, 需求供给比 completed where the line has what it takes.
// Empty for any other text, which PastedKeywords reads.
std::vector<PastedMarketRow> PastedMarketRows(std::string_view text);

}  // namespace mofeng::app
