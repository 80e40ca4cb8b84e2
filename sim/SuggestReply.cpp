#include "sim/SuggestReply.h"

namespace mofeng::sim {

std::string BuildSuggestReply(const KeywordData& data, std::string_view keyword,
                              std::string_view callback) {
    std::string json = "{\"result\":[";
    bool first = true;
    for (const SuggestionEntry& entry : data.Suggestions(keyword)) {
        json += first ? "[\"" : ",[\"";
        json += entry.shown + "\",\"" + std::to_string(entry.count) + "\"]";
        first = false;
    }
    json += "]}";
    if (callback.empty()) {
        return json;
    }
    return std::string(callback) + "(" + json + ")";
}

}  // namespace mofeng::sim
