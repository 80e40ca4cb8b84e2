#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace mofeng::app {

// Seven day values, oldest first; the last is yesterday's.
using SeriesValues = std::array<double, 7>;

// The values of a keyword row's stored series cell (query::kSeriesColumn):
// nullopt unless the cell holds exactly seven comma-separated runs of ASCII
// digits, as the query writes them.
std::optional<SeriesValues> ParseSeriesCell(std::string_view cell);

// The seven-day average as the list's 7天平均指数 gives it: the sum in day
// order divided by 7, fraction dropped.
int SeriesAverage(const SeriesValues& values);

}  // namespace mofeng::app
