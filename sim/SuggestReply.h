#pragma once

#include <string>
#include <string_view>

#include "sim/KeywordData.h"

namespace mofeng::sim {

// The suggestion reply, UTF-8: callback({"result":[["shown","count"],…]}), or
// the bare JSON object when callback is empty.
std::string BuildSuggestReply(const KeywordData& data, std::string_view keyword,
                              std::string_view callback);

}  // namespace mofeng::sim
