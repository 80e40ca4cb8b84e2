#pragma once

#include <array>
#include <string>
#include <string_view>

#include "net/EndpointConfig.h"
#include "regex/RegexObject.h"
#include "runtime/CancelToken.h"

namespace mofeng::query {

// Seven comma-separated runs of digits closing a number array that ends in 0
// and is followed directly by the member name "lastdate" and its colon,
// whatever its value is written as: the last seven days of the index, oldest
// first. The final 0 is not captured.
inline constexpr std::string_view kTrendPattern =
    R"((\d+),(\d+),(\d+),(\d+),(\d+),(\d+),(\d+),0],"lastdate":)";
static_assert(kTrendPattern.size() == 56);

// Seven day values, oldest first: ASCII digits exactly as received, or all
// empty when the reply carried no series.
struct TrendSeries {
    std::array<std::string, 7> values;

    const std::string& Yesterday() const { return values[6]; }
};

// The series of the first match of kTrendPattern in text (GBK); all values
// empty without a match. Uses regex for the search (its default options).
TrendSeries ParseTrendSeries(std::string_view gbkText, regex::RegexObject& regex);

// Requests the trend endpoint for keyword (GBK), reads the reply as UTF-8 up
// to its first NUL, converts it to GBK and parses it. One request.
TrendSeries FetchTrendSeries(const net::EndpointConfig& config, std::string_view keyword,
                             regex::RegexObject& regex,
                             const runtime::CancelToken* cancel = nullptr);

}  // namespace mofeng::query
