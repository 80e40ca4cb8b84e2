#pragma once

#include <string>
#include <utility>
#include <vector>

#include "columns/KeywordListSchema.h"

// The mining list: the keyword list's first two columns, the running number
// as decimal text and the keyword (GBK).
namespace mofeng::mining {

inline constexpr int kNumberColumn = columns::Index(columns::Column::Number);
inline constexpr int kKeywordColumn = columns::Index(columns::Column::Keyword);
static_assert(kNumberColumn == 0 && kKeywordColumn == 1);

// (title, width in pixels) of the two columns: the schema's captions, the
// mining window's own widths.
std::vector<std::pair<std::string, int>> MiningListColumns();

}  // namespace mofeng::mining
