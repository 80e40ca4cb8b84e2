#include "app/TrendSeriesCell.h"

#include <algorithm>

#include "runtime/NumberOps.h"

namespace mofeng::app {

std::optional<SeriesValues> ParseSeriesCell(std::string_view cell) {
    SeriesValues values{};
    std::size_t day = 0;
    for (std::size_t at = 0;; ++day) {
        const std::size_t end = std::min(cell.find(',', at), cell.size());
        const std::string_view digits = cell.substr(at, end - at);
        if (day == values.size() || digits.empty() ||
            digits.find_first_not_of("0123456789") != std::string_view::npos) {
            return std::nullopt;
        }
        values[day] = runtime::ToNumber(digits);
        if (end == cell.size()) {
            break;
        }
        at = end + 1;
    }
    if (day + 1 != values.size()) {
        return std::nullopt;
    }
    return values;
}

int SeriesAverage(const SeriesValues& values) {
    double sum = 0;
    for (double value : values) {
        sum += value;
    }
    return runtime::FloorToInt(sum / 7.0);
}

}  // namespace mofeng::app
