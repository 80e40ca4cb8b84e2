#pragma once

#include <string_view>

#include "runtime/Table.h"

// What the mining window's commands do to texts and lists, apart from the
// window itself.
namespace mofeng::mining {

// The must-contain text holds at most two bytes (one GBK character, or one
// or two ASCII characters); true when text (GBK) exceeds that.
bool IsMustContainTooLong(std::string_view text);

// Appends one row to mainList per row of miningList, in order, with the
// keyword in column 1 and every other cell empty; no duplicate check. The
// mining rows are taken at once. Returns the number of rows sent.
int SendKeywords(runtime::Table& miningList, runtime::Table& mainList);

}  // namespace mofeng::mining
