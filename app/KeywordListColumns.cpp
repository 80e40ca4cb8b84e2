#include "app/KeywordListColumns.h"

#include <algorithm>
#include <numeric>

namespace mofeng::app {
namespace {

std::vector<std::pair<std::string, int>> LeadingColumns(int count) {
    std::vector<std::pair<std::string, int>> result;
    for (int i = 0; i < count; ++i) {
        const columns::ColumnInfo& column = *columns::InfoAt(i);
        result.emplace_back(std::string(column.caption), column.initialWidth);
    }
    return result;
}

}  // namespace

const std::vector<std::pair<std::string, int>>& KeywordListColumns() {
    static const std::vector<std::pair<std::string, int>> columns =
        LeadingColumns(columns::kShownColumnCount);
    return columns;
}

const std::vector<std::pair<std::string, int>>& KeywordListStorageColumns() {
    static const std::vector<std::pair<std::string, int>> columns =
        LeadingColumns(columns::kColumnCount);
    return columns;
}

std::vector<int> PresentOptionalColumns(runtime::Table& table, const std::vector<int>& rows) {
    std::vector<int> present;
    const int last = std::min(columns::kOptionalColumnsEnd, table.ColumnCount());
    for (int column = columns::kFirstOptionalColumn; column < last; ++column) {
        const bool held = std::any_of(rows.begin(), rows.end(),
                                      [&](int row) { return !table.GetCell(row, column).empty(); });
        if (held) {
            present.push_back(column);
        }
    }
    return present;
}

std::vector<int> LeadingAndPresentColumns(runtime::Table& table, const std::vector<int>& rows,
                                          int leading) {
    std::vector<int> result(static_cast<std::size_t>(std::max(0, leading)));
    std::iota(result.begin(), result.end(), 0);
    const std::vector<int> optional = PresentOptionalColumns(table, rows);
    result.insert(result.end(), optional.begin(), optional.end());
    return result;
}

std::vector<int> InitialWidths(const std::vector<std::pair<std::string, int>>& columns) {
    std::vector<int> widths;
    widths.reserve(columns.size());
    for (const auto& column : columns) {
        widths.push_back(column.second);
    }
    return widths;
}

}  // namespace mofeng::app
