#pragma once

#include <string>
#include <utility>
#include <vector>

// The mining list: column 0 the running number as decimal text, column 1 the
// keyword (GBK).
namespace mofeng::mining {

inline constexpr int kNumberColumn = 0;
inline constexpr int kKeywordColumn = 1;

// (title, width in pixels) of the two columns: "序号", "关键词" (GBK).
std::vector<std::pair<std::string, int>> MiningListColumns();

}  // namespace mofeng::mining
