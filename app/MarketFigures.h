#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "columns/KeywordListSchema.h"

namespace mofeng::app {

// The figures a seller's own data tools show for a keyword, in the order
// their columns follow the keyword list's eight.
enum class MarketKind {
    SearchPopularity,  // 搜索人气
    SearchHeat,        // 搜索热度
    ClickPopularity,   // 点击人气
    ClickHeat,         // 点击热度
    ClickRate,         // 点击率
    PayConversion,     // 支付转化率
    TradeIndex,        // 交易指数
    OnlineListings,    // 在线商品数
    MallClickShare,    // 商城点击占比 (also headed 天猫商品点击占比)
    AdReferencePrice,  // 直通车参考价
    DemandSupply,      // 需求供给比
    PayingBuyers,      // 支付买家数
};
inline constexpr std::size_t kMarketKindCount = columns::kMarketColumnCount;

// The column caption (GBK).
const std::string& MarketCaption(MarketKind kind);
// The kind a table header names (GBK; surrounding white space ignored).
std::optional<MarketKind> MarketKindOfHeader(std::string_view header);

// A figure as those tools write it: "12,345", "1.2万", "3.4亿", "3.45%",
// or a range "1万~2万" (kept as the range: low < high).
struct MarketValue {
    double low = 0;
    double high = 0;  // == low unless a range
    bool percent = false;

    bool IsRange() const { return high != low; }
    // What sorting and the filter bar judge: the middle of a range.
    double Middle() const { return (low + high) / 2; }
};

// nullopt for "-", an empty cell or anything else that is no figure.
// Digits, separators and the percent sign may be full-width; ranges are
// joined by "~", "～", "至" or a "-" between two figures.
std::optional<MarketValue> ParseMarketValue(std::string_view text);

// The value as plain decimals: "12000", "3.45%", "10000~20000".
std::string MarketValueText(const MarketValue& value);

// 需求供给比 = 搜索人气 ÷ 在线商品数, two decimals; nullopt without a divisor.
std::optional<std::string> DemandSupplyRatio(std::string_view searchPopularity,
                                             std::string_view onlineListings);

}  // namespace mofeng::app
