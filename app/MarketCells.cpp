#include "app/MarketCells.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>

#include "columns/KeywordListSchema.h"
#include "runtime/NumberOps.h"

namespace mofeng::app {
namespace {

constexpr int kListingCountColumn = columns::Index(columns::Column::ListingCount);
constexpr int kDemandSupplyColumn = columns::Index(columns::Column::DemandSupply);
constexpr int kOursColumn = columns::Index(columns::Column::DemandSupplyOurs);
// The mark of a 需求供给比 computed from our 宝贝数量.
constexpr std::string_view kOursMark = "1";

std::size_t MarketCellOf(std::size_t kind) {
    return static_cast<std::size_t>(columns::Index(columns::MarketColumn(kind)));
}

const std::string& CellOf(const runtime::Row& row, std::size_t column) {
    static const std::string kEmpty;
    return column < row.size() ? row[column] : kEmpty;
}

bool HoldsMarketFigures(const runtime::Row& row) {
    for (std::size_t kind = 0; kind < kMarketKindCount; ++kind) {
        if (!CellOf(row, MarketCellOf(kind)).empty()) {
            return true;
        }
    }
    return false;
}

// The stored cells MergeMarketRows reads and writes of a row already in the
// table: every market cell, 宝贝数量 and the mark.
std::vector<int> MergedColumns() {
    std::vector<int> merged;
    for (std::size_t kind = 0; kind < kMarketKindCount; ++kind) {
        merged.push_back(static_cast<int>(MarketCellOf(kind)));
    }
    merged.push_back(kListingCountColumn);
    merged.push_back(kOursColumn);
    return merged;
}

}  // namespace

MarketRow MarketRowOfCells(const runtime::Row& row) {
    MarketRow market;
    for (std::size_t kind = 0; kind < kMarketKindCount; ++kind) {
        market.values[kind] = CellOf(row, MarketCellOf(kind));
    }
    market.demandSupplyFromOurCount = CellOf(row, kOursColumn) == kOursMark;
    return market;
}

void PutMarketRow(runtime::Row& row, const MarketRow& market) {
    row.resize(std::max<std::size_t>(row.size(), columns::kColumnCount));
    for (std::size_t kind = 0; kind < kMarketKindCount; ++kind) {
        row[MarketCellOf(kind)] = market.values[kind];
    }
    row[kOursColumn] = market.demandSupplyFromOurCount ? std::string(kOursMark) : std::string();
}

bool RefreshDemandSupply(runtime::Row& row) {
    if (!HoldsMarketFigures(row)) {
        return false;
    }
    MarketRow market = MarketRowOfCells(row);
    const MarketRow before = market;
    if (market.demandSupplyFromOurCount) {
        market[MarketKind::DemandSupply].clear();
        market.demandSupplyFromOurCount = false;
    }
    CompleteDemandSupply(market, CellOf(row, kListingCountColumn));
    if (market.values == before.values &&
        market.demandSupplyFromOurCount == before.demandSupplyFromOurCount) {
        return false;
    }
    PutMarketRow(row, market);
    return true;
}

bool RefreshDemandSupply(runtime::Table& table, int row) {
    static const std::vector<int> kRead = MergedColumns();
    runtime::Row cells(columns::kColumnCount);
    for (int column : kRead) {
        cells[static_cast<std::size_t>(column)] = table.GetCell(row, column);
    }
    if (!RefreshDemandSupply(cells)) {
        return false;
    }
    for (int column : {kDemandSupplyColumn, kOursColumn}) {
        table.SetCell(row, column, cells[static_cast<std::size_t>(column)]);
    }
    return true;
}

std::optional<double> MarketCellNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    double sign = 1;
    if (text.size() > 1 && (text.front() == '+' || text.front() == '-')) {
        sign = text.front() == '-' ? -1 : 1;
        text.remove_prefix(1);
    }
    const std::optional<MarketValue> value = ParseMarketValue(text);
    if (!value) {
        return std::nullopt;
    }
    return sign * value->Middle();
}

std::string SortKeyText(int column, std::string_view text) {
    const columns::ColumnInfo* info = columns::InfoAt(column);
    if (info == nullptr || info->kind != columns::ColumnKind::Market) {
        return std::string(text);
    }
    const std::optional<double> number = MarketCellNumber(text);
    return number ? runtime::FormatNumber(*number) : std::string();
}

std::vector<std::string> SortKeyTexts(int column, std::vector<std::string> texts) {
    const columns::ColumnInfo* info = columns::InfoAt(column);
    if (info != nullptr && info->kind == columns::ColumnKind::Market) {
        for (std::string& text : texts) {
            text = SortKeyText(column, text);
        }
    }
    return texts;
}

int MergeMarketRows(runtime::Table& table, std::vector<runtime::Row>& rows, int keywordColumn) {
    static const std::vector<int> kMerged = MergedColumns();
    const auto keyword = static_cast<std::size_t>(keywordColumn);
    std::unordered_map<std::string, std::size_t> kept;  // keyword -> index among the kept rows
    std::vector<runtime::Row> remaining;
    int merged = 0;
    for (runtime::Row& row : rows) {
        if (!HoldsMarketFigures(row) || CellOf(row, keyword).empty()) {
            remaining.push_back(std::move(row));
            continue;
        }
        const std::string& text = row[keyword];
        const MarketRow incoming = MarketRowOfCells(row);
        if (const auto earlier = kept.find(text); earlier != kept.end()) {
            runtime::Row& target = remaining[earlier->second];
            MarketRow market = MarketRowOfCells(target);
            MergeMarketRow(market, incoming);
            PutMarketRow(target, market);
            RefreshDemandSupply(target);
            ++merged;
            continue;
        }
        const int found = table.FindRow(text, keywordColumn);
        if (found < 0) {
            kept.emplace(text, remaining.size());
            remaining.push_back(std::move(row));
            continue;
        }
        runtime::Row target(columns::kColumnCount);
        for (int column : kMerged) {
            target[static_cast<std::size_t>(column)] = table.GetCell(found, column);
        }
        const runtime::Row before = target;
        MarketRow market = MarketRowOfCells(target);
        MergeMarketRow(market, incoming);
        PutMarketRow(target, market);
        RefreshDemandSupply(target);
        for (int column : kMerged) {
            const auto c = static_cast<std::size_t>(column);
            if (target[c] != before[c]) {
                table.SetCell(found, column, target[c]);
            }
        }
        ++merged;
    }
    rows = std::move(remaining);
    return merged;
}

}  // namespace mofeng::app
