#pragma once

#include <string>
#include <utility>
#include <vector>

#include "columns/KeywordListSchema.h"

// The mining list: the keyword list's first two columns, the running number
// as decimal text and the keyword (GBK), then 联想热度, the latest weight a
// suggestion reply gave the keyword (decimal text as the reply wrote it;
// empty when no reply named it).
namespace mofeng::mining {

inline constexpr int kNumberColumn = columns::Index(columns::Column::Number);
inline constexpr int kKeywordColumn = columns::Index(columns::Column::Keyword);
inline constexpr int kWeightColumn = 2;
static_assert(kNumberColumn == 0 && kKeywordColumn == 1);

// (title, width in pixels) of the three columns: the schema's captions, the
// mining window's own widths.
std::vector<std::pair<std::string, int>> MiningListColumns();

}  // namespace mofeng::mining
