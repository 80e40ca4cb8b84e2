#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "query/TrendSeries.h"

namespace mofeng::query {

// Trend marks, GBK: two spaces and an up arrow, a down arrow, or two hyphens.
inline constexpr std::string_view kTrendUp = "  \xA1\xFC";
inline constexpr std::string_view kTrendDown = "  \xA1\xFD";
inline constexpr std::string_view kTrendFlat = "  --";

// What a series gives without the listing count.
struct TrendFigures {
    std::string average;  // seven-day average, fraction dropped
    std::string trend;    // yesterday minus the average, then a trend mark
    std::string slope;    // sum of the day-over-day ratios, one decimal
};

// The five texts of one keyword's row, columns 3 to 7 of the keyword list.
// Non-finite values (a zero day value, a zero listing count) are written as
// printf writes them: "inf", "-inf", "nan" or "-nan".
struct IndexMetrics {
    std::string yesterday;  // the last day value exactly as received
    std::string average;
    std::string trend;
    std::string competition;  // average / count * 10000, no decimals
    std::string slope;
};

TrendFigures ComputeTrendFigures(const TrendSeries& series);

// The competition multiple from the average text and the listing count.
std::string CompetitionText(std::string_view averageText, std::int32_t count);

IndexMetrics ComputeIndexMetrics(const TrendSeries& series, std::int32_t count);

}  // namespace mofeng::query
