#include "sim/TrendDocument.h"

#include <algorithm>

#include "sim/StableHash.h"
#include "sim/TextEscape.h"

namespace mofeng::sim {
namespace {

std::string JoinValues(const TrendValues& values, double scale, StableRandom& random) {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double scaled = static_cast<double>(values[i]) * scale * (0.8 + 0.4 * random.Unit());
        out += (i == 0 ? "" : ",") + std::to_string(static_cast<long long>(scaled));
    }
    return out;
}

}  // namespace

std::string BuildTrendDocument(const KeywordData& data, std::string_view keyword) {
    const std::string text = NormalizeKeyword(keyword);
    const std::optional<TrendValues> series = data.Series(text);
    const std::string date = data.LastDate();
    StableRandom random(StableHash(data.Seed(), text, 21));
    const TrendValues shapeSource = series.value_or(TrendValues{30, 32, 31, 35, 33, 36, 34});

    std::string trend;
    if (series) {
        std::string values;
        for (long long v : *series) {
            values += std::to_string(v) + ",";
        }
        trend = "{\"searchIndex\":[" + values + "0],\"lastdate\":\"" + date +
                "\",\"clickIndex\":[" + JoinValues(shapeSource, 0.4, random) + "," +
                std::to_string(random.Between(1, 90)) + "]}";
    } else {
        switch (random.Between(0, 2)) {
            case 0:
                trend = "{\"searchIndex\":[],\"lastdate\":\"" + date + "\"}";
                break;
            case 1:
                trend = "{\"searchIndex\":[" + std::to_string(random.Between(1, 50)) +
                        ",0],\"lastdate\":\"" + date + "\"}";
                break;
            default:
                trend = "null";
        }
    }
    // tradeIndex ends with ",0]" but is not followed by lastdate; pc.searchIndex
    // is followed by lastdate but does not end with 0.
    return "{\"status\":0,\"message\":\"success\",\"data\":{\"query\":\"" +
           JsonStringContent(text) + "\",\"period\":\"7d\",\"endDate\":\"" + date +
           "\",\"summary\":{\"searchRank\":" + std::to_string(random.Between(1, 50000)) +
           ",\"tradeRank\":" + std::to_string(random.Between(1, 50000)) + ",\"level\":\"" +
           std::string(1, static_cast<char>('A' + random.Between(0, 4))) + "\"},\"tradeIndex\":[" +
           JoinValues(shapeSource, 0.15, random) + ",0],\"periodType\":\"day\",\"trend\":" + trend +
           ",\"pc\":{\"searchIndex\":[" + JoinValues(shapeSource, 0.3, random) + "," +
           std::to_string(random.Between(1, 500)) + "],\"lastdate\":\"" + date +
           "\"},\"updateTime\":\"" + date + " 08:00:00\"}}";
}

}  // namespace mofeng::sim
