#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "query/QueryRow.h"

namespace mofeng::query {

// The figures a row shows when a run takes it (GBK, as stored): the figure
// columns (宝贝数量 to 趋势比(斜率), in column order), the series cell and the
// figures-time cell (kFiguresTimeColumn).
struct ShownFigures {
    std::array<std::string, 6> cells;
    std::string series;
    std::string receivedAt;

    // Any of columns 2 to 7 holds a text.
    bool Any() const;
};

// The figures of a stored row; cell(c) gives column c's text, empty past the
// row's last column.
ShownFigures ShownFiguresOf(const std::function<std::string(int column)>& cell);

// "0" in the figures-time cell: the kept figures came from an earlier lookup
// whose time is not known (a list file, a workbook, an older session).
inline constexpr std::string_view kUnknownFiguresTime = "0";

// Settles a finished row against what it showed before the run, and gives the
// figures-time cell to store with it. A lookup that failed, was blocked or
// came back 部分 (one endpoint given up on) over a row that shows figures
// keeps all of those figures (cells, series, their time or
// kUnknownFiguresTime) under its new outcome and reason; kept is then set.
// A failed row that showed none stores its own (partial) cells and no time;
// a row with a reply stores its figures stamped with now (Unix seconds).
std::string SettleFigures(RowResult& fresh, const ShownFigures& shown, std::int64_t now,
                          bool& kept);

// A stored row whose figures are kept from an earlier lookup: its outcome is
// 失败, 被拦截 or 部分 and its figures-time cell is not empty.
bool ShowsKeptFigures(std::string_view outcomeCell, std::string_view figuresTimeCell);

}  // namespace mofeng::query
