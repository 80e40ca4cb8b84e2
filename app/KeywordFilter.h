#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/TableData.h"

namespace mofeng::app {

// A closed range on one figure column of the keyword list; a missing end is
// no bound. Cells are read as the column sort reads them (runtime::ToNumber
// of SortKeyText: a market figure by its middle).
struct FigureRange {
    int column = 0;
    std::optional<double> min;
    std::optional<double> max;

    bool operator==(const FigureRange&) const = default;
};

// Which rows of the keyword list are shown. Texts are GBK; matching is by
// character, never across a double-byte character's boundary.
struct KeywordFilterCriteria {
    std::string contains;               // the keyword holds this; empty: any keyword
    std::vector<std::string> excluded;  // the keyword holds none of these
    std::vector<FigureRange> ranges;

    // True when every row passes.
    bool IsEmpty() const;
    bool operator==(const KeywordFilterCriteria&) const = default;
};

// The words of a field: split at ASCII spaces, tabs and the full-width space
// (GBK A1 A1, only where it is a whole character); empty words dropped.
std::vector<std::string> SplitWords(std::string_view text);

// A bound typed into a field: nullopt for blank text, else ToNumber of it.
std::optional<double> BoundOf(std::string_view text);

// Whether row of data (a keyword list) passes the criteria; false for a
// row that does not exist.
bool RowPasses(const KeywordFilterCriteria& criteria, const runtime::TableData& data, int row);

}  // namespace mofeng::app
