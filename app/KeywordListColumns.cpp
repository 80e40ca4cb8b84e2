#include "app/KeywordListColumns.h"

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

std::vector<int> InitialWidths(const std::vector<std::pair<std::string, int>>& columns) {
    std::vector<int> widths;
    widths.reserve(columns.size());
    for (const auto& column : columns) {
        widths.push_back(column.second);
    }
    return widths;
}

}  // namespace mofeng::app
