#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/MarketFigures.h"

namespace mofeng::app {

// Where a seller's table holds each market figure: (field position, kind),
// in field order. A kind named twice is taken from its first field.
using MarketColumns = std::vector<std::pair<std::size_t, MarketKind>>;
MarketColumns MarketColumnsOfHeader(const std::vector<std::string>& header);

// One keyword's market figures, indexed by kind; a value is the text as the
// table shows it ("1.2万", "1万~2万"), empty for "-" or a blank cell.
struct MarketRow {
    std::array<std::string, kMarketKindCount> values;
    bool demandSupplyFromOurCount = false;  // 需求供给比 computed from our 宝贝数量

    const std::string& operator[](MarketKind kind) const {
        return values[static_cast<std::size_t>(kind)];
    }
    std::string& operator[](MarketKind kind) { return values[static_cast<std::size_t>(kind)]; }
    bool Empty() const;
};

// The figures of one record of the table (fields past its end are blank);
// a figure that does not read as one (ParseMarketValue) is left blank.
MarketRow MarketRowOfRecord(const std::vector<std::string>& record, const MarketColumns& columns);

// Merges `incoming` into `row`: a figure the new table has replaces the old
// one, a blank leaves it.
void MergeMarketRow(MarketRow& row, const MarketRow& incoming);

// 需求供给比 where the row lacks it: 搜索人气 ÷ 在线商品数, or, without
// 在线商品数, ÷ our listing count (then marked as ours). Left blank without
// both figures or with a zero divisor.
void CompleteDemandSupply(MarketRow& row, const std::string& ourListingCount);

// The (caption, value) pairs of the figures present, in kind order: what an
// observation keeps.
std::vector<std::pair<std::string, std::string>> MarketPairs(const MarketRow& row);

}  // namespace mofeng::app
