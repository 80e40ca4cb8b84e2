#include "sim/SuggestReply.h"

#include "sim/TextEscape.h"

namespace mofeng::sim {

std::string BuildSuggestReply(const KeywordData& data, std::string_view keyword,
                              std::string_view callback, bool decimalCounts, bool selfEntry) {
    std::string json = "{\"result\":[";
    bool first = true;
    if (const std::string weight = data.SuggestWeight(keyword); selfEntry && !weight.empty()) {
        json += "[\"" + JsonStringContent(NormalizeKeyword(keyword)) + "\",\"" + weight + "\"]";
        first = false;
    }
    for (const SuggestionEntry& entry : data.Suggestions(keyword)) {
        json += first ? "[\"" : ",[\"";
        // A fixed fraction per entry keeps the reply deterministic.
        const std::string fraction =
            decimalCounts ? "." + std::to_string(1000000007ULL + entry.count * 7919ULL % 999983ULL)
                          : std::string();
        json += entry.shown + "\",\"" + std::to_string(entry.count) + fraction + "\"]";
        first = false;
    }
    json += "]}";
    if (callback.empty()) {
        return json;
    }
    return std::string(callback) + "(" + json + ")";
}

}  // namespace mofeng::sim
