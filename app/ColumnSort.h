#pragma once

#include <string>
#include <vector>

#include "runtime/Table.h"

namespace mofeng::app {

// Two sort keys count as equal when they differ by at most this much.
inline constexpr double kSortTolerance = 1e-7;

// Where the binary-insertion pass puts a new key x among keyValues (kept in
// ascending order up to the tolerance): 1-based, 1 .. size + 1. A key equal
// to the last goes after it, one equal to the first (and not to the last)
// before it, one equal to a key met by the search right after that key.
int FindInsertPosition(const std::vector<double>& keyValues, double x);

// The descending order of a column: element p is the row that moves to
// position p. Keys are the texts' numeric values (ToNumber; 0 for a text that
// does not begin with a number). The order is the one the binary-insertion
// pass over rows 0.. followed by a backward walk gives, ties included (a
// column whose keys are all equal comes out reversed). Costs about
// n·sqrt(n) short element moves and n·log²(n) steps, not the n² of array inserts.
std::vector<int> DescendingRowOrder(const std::vector<std::string>& columnTexts);

// The ascending order of a column: DescendingRowOrder of the negated keys,
// so the comparison and its tolerance are exactly those of the largest-first
// order, reversed. Ties follow the same rule mirrored: a column whose keys are
// all equal comes out reversed here too (two clicks restore the order).
std::vector<int> AscendingRowOrder(const std::vector<std::string>& columnTexts);

enum class SortOrder { LargestFirst, SmallestFirst };

// Sorts the table's rows by the column (one ColumnTexts and one ReorderRows
// call; rows added in between make the reorder a no-op).
void SortByColumn(runtime::Table& table, int column, SortOrder order = SortOrder::LargestFirst);

}  // namespace mofeng::app
