#pragma once

#include <string>
#include <utility>
#include <vector>

#include "columns/KeywordListSchema.h"
#include "runtime/Table.h"

namespace mofeng::app {

// The columns the list's views show (columns::kShownColumnCount).
inline constexpr int kKeywordListColumnCount = columns::kShownColumnCount;

// The shown columns of the schema in order, as a table takes them: (caption
// GBK, initial width in pixels).
const std::vector<std::pair<std::string, int>>& KeywordListColumns();

// Every column of the schema, the stored cells after the shown ones, for a
// list's storage. Views show only the first kKeywordListColumnCount and the
// spreadsheet export writes only the first columns::kExportedColumnCount.
const std::vector<std::pair<std::string, int>>& KeywordListStorageColumns();

// The optional columns (columns::ColumnInfo::optional) in which some of the
// given rows hold a value, in storage order: the ones a view of the list
// shows after its leading columns and an export writes after its own.
std::vector<int> PresentOptionalColumns(runtime::Table& table, const std::vector<int>& rows);
// Columns 0 .. leading - 1, then PresentOptionalColumns of the rows.
std::vector<int> LeadingAndPresentColumns(runtime::Table& table, const std::vector<int>& rows,
                                          int leading);

// The widths of column definitions such as those above, in their order: what
// an export is given where no view has its own widths (the command line).
std::vector<int> InitialWidths(const std::vector<std::pair<std::string, int>>& columns);

}  // namespace mofeng::app
