#include "sim/SuggestReply.h"

#include "sim/ModifierVocabulary.h"
#include "sim/StableHash.h"
#include "sim/TextEscape.h"

namespace mofeng::sim {
namespace {

constexpr std::size_t kTagsPerGroup = 3;

}  // namespace

std::vector<std::string> SuggestionTags(const KeywordData& data, std::string_view keyword) {
    std::vector<std::string> tags;
    if (data.Suggestions(keyword).empty()) {
        return tags;
    }
    const auto modifiers = Modifiers();
    StableRandom random(StableHash(data.Seed(), keyword, 0x6D61676963ULL));
    const std::size_t wanted = static_cast<std::size_t>(random.Between(2, 6));
    for (std::size_t tries = 0; tags.size() < wanted && tries < 4 * wanted; ++tries) {
        const std::string_view text =
            modifiers[static_cast<std::size_t>(random.Between(0, modifiers.size() - 1))].text;
        bool taken = keyword.find(text) != std::string_view::npos;
        for (const std::string& tag : tags) {
            taken = taken || tag == text;
        }
        if (!taken) {
            tags.emplace_back(text);
        }
    }
    return tags;
}

std::string BuildSuggestReply(const KeywordData& data, std::string_view keyword,
                              std::string_view callback, bool decimalCounts, bool selfEntry,
                              bool magic) {
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
    json += "]";
    const std::vector<std::string> tags =
        magic ? SuggestionTags(data, keyword) : std::vector<std::string>{};
    if (!tags.empty()) {
        json += ",\"magic\":[{\"index\":\"4\",\"type\":\"tag_group\",\"data\":[";
        for (std::size_t i = 0; i < tags.size(); ++i) {
            const bool groupStart = i % kTagsPerGroup == 0;
            json += groupStart ? (i == 0 ? "[" : "],[") : ",";
            // The first tag of a group is marked hot; the others carry no type.
            json += "{\"title\":\"" + JsonStringContent(tags[i]) + "\"" +
                    (groupStart ? ",\"type\":\"hot\"}" : "}");
        }
        json += "]]}]";
    }
    json += "}";
    if (callback.empty()) {
        return json;
    }
    return std::string(callback) + "(" + json + ")";
}

}  // namespace mofeng::sim
