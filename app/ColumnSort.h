#pragma once

#include <string>
#include <string_view>
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

// A text that holds no figure: empty, "--", or a non-finite number (shown
// "--"). Such rows go last whichever way a figure column is sorted.
bool HoldsNoFigure(std::string_view text);

// The same order with the rows whose text holds no figure moved after all the
// others, each group in the order it had.
std::vector<int> FiguresFirst(std::vector<int> order, const std::vector<std::string>& columnTexts);

// Whether the texts are in the order a sort of theirs gives (up to the
// tolerance; with figuresFirst, rows without a figure last).
bool IsInOrder(const std::vector<std::string>& columnTexts, SortOrder order, bool figuresFirst);

// Sorts the table's rows by the column, a market figure by its middle
// (SortKeyTexts; one ColumnTexts and one ReorderRows call; rows added in between make the reorder a
// no-op). With figuresFirst the rows without a figure end up last (FiguresFirst).
void SortByColumn(runtime::Table& table, int column, SortOrder order = SortOrder::LargestFirst,
                  bool figuresFirst = false);

}  // namespace mofeng::app
