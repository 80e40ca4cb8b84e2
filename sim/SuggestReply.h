#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/KeywordData.h"

namespace mofeng::sim {

// The suggestion reply, UTF-8: callback({"result":[["shown","count"],…]}), or
// the bare JSON object when callback is empty.
// With decimalCounts each count reads as current replies write it
// ("1851375.3007043828"), otherwise as digits. With selfEntry the reply
// starts with the keyword itself and its weight (KeywordData::SuggestWeight).
// With magic a "magic" block of tag groups follows "result", as current
// replies carry it: [{"index":"4","type":"tag_group","data":[[{"title":"长袖",
// "type":"hot"},{"title":"收口袖"}],…]}] (SuggestionTags, empty for a keyword
// without suggestions).
std::string BuildSuggestReply(const KeywordData& data, std::string_view keyword,
                              std::string_view callback, bool decimalCounts = false,
                              bool selfEntry = false, bool magic = false);

// The tags of the magic block for keyword (UTF-8), in reply order: modifiers
// the keyword does not hold yet, fixed per seed and keyword.
std::vector<std::string> SuggestionTags(const KeywordData& data, std::string_view keyword);

}  // namespace mofeng::sim
