#pragma once

#include <string>
#include <utility>
#include <vector>

namespace mofeng::app {

inline constexpr int kKeywordListColumnCount = 8;

// The main keyword list's columns in order: (caption, initial width in
// pixels). Captions are GBK: 序号, 关键词, 宝贝数量, 昨日搜索指数, 7天平均指数,
// 指数趋势, 竞争倍数, 趋势比(斜率).
const std::vector<std::pair<std::string, int>>& KeywordListColumns();

// The eight columns and the stored cells after them (query::kOutcomeColumn,
// kReasonColumn, kSeriesColumn, kFiguresTimeColumn: 状态, 原因, 七日指数,
// 数据时间), for a list's storage. Views
// show and the spreadsheet export writes only the first
// kKeywordListColumnCount.
const std::vector<std::pair<std::string, int>>& KeywordListStorageColumns();

// The widths of column definitions such as those above, in their order: what
// an export is given where no view has its own widths (the command line).
std::vector<int> InitialWidths(const std::vector<std::pair<std::string, int>>& columns);

}  // namespace mofeng::app
