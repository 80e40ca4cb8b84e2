#pragma once

#include <string>
#include <utility>
#include <vector>

#include "runtime/Table.h"

namespace mofeng::app {

// What one query run found for one keyword on one day. Texts are GBK and
// figures as the keyword list stores them.
struct Observation {
    std::string keyword;
    std::string day;            // YYYY-MM-DD, the seller's local date
    runtime::Row figures;       // the six figure cells, 宝贝数量 first
    std::string outcome;        // RowOutcomeText
    std::string series;         // seven day values joined by ',', empty without
    std::string suggestWeight;  // as the suggestion reply gave it, empty without
    // Market figures from the seller's tables: (caption, value as shown there).
    std::vector<std::pair<std::string, std::string>> market;

    bool operator==(const Observation&) const = default;
};

// The change of the listing count from `before` to `now` as the list shows
// it: "+3.2%", "-0.5%", "0.0%"; empty when either is not a count or before is 0.
std::string ListingChangeText(const std::string& before, const std::string& now);

// True for a calendar date written YYYY-MM-DD.
bool IsIsoDate(const std::string& text);

}  // namespace mofeng::app
