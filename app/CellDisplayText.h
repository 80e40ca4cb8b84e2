#pragma once

#include <string_view>

namespace mofeng::app {

// What the seller sees for a figure that has no value (a slope or a
// competition multiple divided by zero).
inline constexpr std::string_view kNoFigureText = "--";

// True for a non-finite number as printf writes it: an optional sign, then
// "inf", "infinity" or "nan" in any case.
bool IsNonFiniteText(std::string_view text);

// The text shown and exported for a stored cell of the keyword list in
// `column`: a figure column (columns::ColumnInfo::figure) holding a non-finite number reads
// kNoFigureText; every other cell, and the keyword column whatever it holds,
// reads as stored. The stored text itself never changes (the sort and the
// session read it). The view points into `stored` or into static storage.
std::string_view CellDisplayText(int column, std::string_view stored);

}  // namespace mofeng::app
