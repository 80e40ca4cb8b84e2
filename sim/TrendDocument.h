#pragma once

#include <string>
#include <string_view>

#include "sim/KeywordData.h"

namespace mofeng::sim {

// The trend reply: UTF-8 JSON in which the seven-day search-index array ends
// with ",0]" followed directly by ",\"lastdate\":\"YYYY-MM-DD\"". The other
// arrays around it never end that way. Without a series the document has an
// empty, short or missing array instead.
std::string BuildTrendDocument(const KeywordData& data, std::string_view keyword);

}  // namespace mofeng::sim
