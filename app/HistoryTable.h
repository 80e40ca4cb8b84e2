#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/Observation.h"
#include "runtime/Table.h"

namespace mofeng::app {

// Observations laid out as a list: 日期, 关键词, the six figure columns, 状态,
// 宝贝数量变化 (since the keyword's previous observation with a count), 联想热度,
// 七日指数, then one column per market caption present, in order of first
// appearance. The keyword stays column 1 and the figures 2 to 7, as in the
// keyword list, so displays and exports treat them alike.
struct HistoryTable {
    std::vector<std::pair<std::string, int>> columns;  // (caption GBK, width)
    std::vector<runtime::Row> rows;
};

// observations as history::Read gives them: by keyword, then day.
HistoryTable BuildHistoryTable(const std::vector<Observation>& observations);

}  // namespace mofeng::app
