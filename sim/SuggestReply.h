#pragma once

#include <string>
#include <string_view>

#include "sim/KeywordData.h"

namespace mofeng::sim {

// The suggestion reply, UTF-8: callback({"result":[["shown","count"],…]}), or
// the bare JSON object when callback is empty.
// With decimalCounts each count reads as current replies write it
// ("1851375.3007043828"), otherwise as digits. With selfEntry the reply
// starts with the keyword itself and its weight (KeywordData::SuggestWeight).
std::string BuildSuggestReply(const KeywordData& data, std::string_view keyword,
                              std::string_view callback, bool decimalCounts = false,
                              bool selfEntry = false);

}  // namespace mofeng::sim
