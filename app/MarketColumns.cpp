#include "app/MarketColumns.h"

#include <algorithm>

namespace mofeng::app {

MarketColumns MarketColumnsOfHeader(const std::vector<std::string>& header) {
    MarketColumns columns;
    for (std::size_t field = 0; field < header.size(); ++field) {
        const std::optional<MarketKind> kind = MarketKindOfHeader(header[field]);
        const bool taken = kind && std::any_of(columns.begin(), columns.end(),
                                               [&](const auto& c) { return c.second == *kind; });
        if (kind && !taken) {
            columns.emplace_back(field, *kind);
        }
    }
    return columns;
}

bool MarketRow::Empty() const {
    return std::all_of(values.begin(), values.end(),
                       [](const std::string& v) { return v.empty(); });
}

MarketRow MarketRowOfRecord(const std::vector<std::string>& record, const MarketColumns& columns) {
    MarketRow row;
    for (const auto& [field, kind] : columns) {
        if (field < record.size() && ParseMarketValue(record[field])) {
            row[kind] = record[field];
        }
    }
    return row;
}

void MergeMarketRow(MarketRow& row, const MarketRow& incoming) {
    for (std::size_t i = 0; i < kMarketKindCount; ++i) {
        if (!incoming.values[i].empty()) {
            row.values[i] = incoming.values[i];
            if (static_cast<MarketKind>(i) == MarketKind::DemandSupply) {
                row.demandSupplyFromOurCount = incoming.demandSupplyFromOurCount;
            }
        }
    }
}

void CompleteDemandSupply(MarketRow& row, const std::string& ourListingCount) {
    if (!row[MarketKind::DemandSupply].empty() || row[MarketKind::SearchPopularity].empty()) {
        return;
    }
    const bool theirs = !row[MarketKind::OnlineListings].empty();
    const std::optional<std::string> ratio =
        DemandSupplyRatio(row[MarketKind::SearchPopularity],
                          theirs ? row[MarketKind::OnlineListings] : ourListingCount);
    if (ratio) {
        row[MarketKind::DemandSupply] = *ratio;
        row.demandSupplyFromOurCount = !theirs;
    }
}

std::vector<std::pair<std::string, std::string>> MarketPairs(const MarketRow& row) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i < kMarketKindCount; ++i) {
        if (!row.values[i].empty()) {
            pairs.emplace_back(MarketCaption(static_cast<MarketKind>(i)), row.values[i]);
        }
    }
    return pairs;
}

}  // namespace mofeng::app
