#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

// The keyword list's columns: one table that the query, the views, the
// filters, the exports and the storage all walk. A cell's index in a row is
// its column's position here (the enum's value).
namespace mofeng::columns {

enum class Column {
    Number,        // 序号
    Keyword,       // 关键词
    ListingCount,  // 宝贝数量
    Yesterday,     // 昨日搜索指数
    Average,       // 7天平均指数
    Trend,         // 指数趋势
    Competition,   // 竞争倍数
    Slope,         // 趋势比(斜率)
    Outcome,       // 状态
    Reason,        // 原因
    Series,        // 七日指数
    FiguresTime,   // 数据时间
    // The optional columns, stored after every older cell so that rows saved
    // before them keep their cells where they were.
    SearchPopularity,  // 搜索人气 (the seller's market figures, in app::MarketKind order)
    SearchHeat,        // 搜索热度
    ClickPopularity,   // 点击人气
    ClickHeat,         // 点击热度
    ClickRate,         // 点击率
    PayConversion,     // 支付转化率
    TradeIndex,        // 交易指数
    OnlineListings,    // 在线商品数
    MallClickShare,    // 商城点击占比
    AdReferencePrice,  // 直通车参考价
    DemandSupply,      // 需求供给比
    PayingBuyers,      // 支付买家数
    ListingChange,     // 宝贝数量变化
    SuggestWeight,     // 联想热度
    DemandSupplyOurs,  // 需求供给比来源
};

// What a cell holds. Integer and Decimal cells are written as numbers by the
// spreadsheet exports when their text is nothing but a number (a trend cell,
// a whole number and a mark, is not); StoredOnly cells are kept with the row
// and are no figure for the seller: never shown, never exported. A Market
// cell holds a figure as the seller's tables write it ("1.2万", "3.45%",
// "1万~2万", "+3.2%"): it sorts and filters by its middle
// (app/MarketCells.h) and a workbook gets it as a number, a percentage as a
// percentage.
enum class ColumnKind { Text, Integer, Decimal, StoredOnly, Market };

struct ColumnInfo {
    Column column;
    std::string_view caption;  // GBK
    ColumnKind kind;
    int initialWidth;  // pixels; 0 for a column no view shows
    bool shown;        // a column of the list's views
    bool exported;     // a column of the spreadsheet exports
    bool figure;       // a figure the lookups write: filters bound it, a non-finite one reads "--"
    // Shown after the leading shown columns and exported after the leading
    // exported ones, only where some row holds a value; stored after every
    // column that is not optional.
    bool optional = false;
};

// In storage order: the shown columns first, then the columns only exported,
// then the rest (views and exports take a leading count of them).
inline constexpr std::array kColumns{
    ColumnInfo{Column::Number, "\xD0\xF2\xBA\xC5", ColumnKind::Integer, 55, true, true, false},
    ColumnInfo{Column::Keyword, "\xB9\xD8\xBC\xFC\xB4\xCA", ColumnKind::Text, 160, true, true,
               false},
    ColumnInfo{Column::ListingCount, "\xB1\xA6\xB1\xB4\xCA\xFD\xC1\xBF", ColumnKind::Integer, 100,
               true, true, true},
    ColumnInfo{Column::Yesterday, "\xD7\xF2\xC8\xD5\xCB\xD1\xCB\xF7\xD6\xB8\xCA\xFD",
               ColumnKind::Integer, 110, true, true, true},
    ColumnInfo{Column::Average, "7\xCC\xEC\xC6\xBD\xBE\xF9\xD6\xB8\xCA\xFD", ColumnKind::Integer,
               120, true, true, true},
    ColumnInfo{Column::Trend, "\xD6\xB8\xCA\xFD\xC7\xF7\xCA\xC6", ColumnKind::Integer, 100, true,
               true, true},
    ColumnInfo{Column::Competition, "\xBE\xBA\xD5\xF9\xB1\xB6\xCA\xFD", ColumnKind::Integer, 100,
               true, true, true},
    ColumnInfo{Column::Slope, "\xC7\xF7\xCA\xC6\xB1\xC8(\xD0\xB1\xC2\xCA)", ColumnKind::Decimal,
               100, true, true, true},
    // 状态: RowOutcomeText of the row's lookups.
    ColumnInfo{Column::Outcome, "\xD7\xB4\xCC\xAC", ColumnKind::Text, 0, false, true, false},
    // 原因: why the row failed (GBK), empty otherwise.
    ColumnInfo{Column::Reason, "\xD4\xAD\xD2\xF2", ColumnKind::StoredOnly, 0, false, false, false},
    // 七日指数: the seven day values joined by ',', empty without a series.
    ColumnInfo{Column::Series, "\xC6\xDF\xC8\xD5\xD6\xB8\xCA\xFD", ColumnKind::StoredOnly, 0, false,
               false, false},
    // 数据时间: when the figures arrived (Unix seconds), empty without figures of its own.
    ColumnInfo{Column::FiguresTime, "\xCA\xFD\xBE\xDD\xCA\xB1\xBC\xE4", ColumnKind::StoredOnly, 0,
               false, false, false},
    // The seller's market figures as their tables show them.
    ColumnInfo{Column::SearchPopularity, "\xCB\xD1\xCB\xF7\xC8\xCB\xC6\xF8", ColumnKind::Market, 90,
               true, true, true, true},
    ColumnInfo{Column::SearchHeat, "\xCB\xD1\xCB\xF7\xC8\xC8\xB6\xC8", ColumnKind::Market, 90, true,
               true, true, true},
    ColumnInfo{Column::ClickPopularity, "\xB5\xE3\xBB\xF7\xC8\xCB\xC6\xF8", ColumnKind::Market, 90,
               true, true, true, true},
    ColumnInfo{Column::ClickHeat, "\xB5\xE3\xBB\xF7\xC8\xC8\xB6\xC8", ColumnKind::Market, 90, true,
               true, true, true},
    ColumnInfo{Column::ClickRate, "\xB5\xE3\xBB\xF7\xC2\xCA", ColumnKind::Market, 80, true, true,
               true, true},
    ColumnInfo{Column::PayConversion, "\xD6\xA7\xB8\xB6\xD7\xAA\xBB\xAF\xC2\xCA",
               ColumnKind::Market, 100, true, true, true, true},
    ColumnInfo{Column::TradeIndex, "\xBD\xBB\xD2\xD7\xD6\xB8\xCA\xFD", ColumnKind::Market, 90, true,
               true, true, true},
    ColumnInfo{Column::OnlineListings, "\xD4\xDA\xCF\xDF\xC9\xCC\xC6\xB7\xCA\xFD",
               ColumnKind::Market, 100, true, true, true, true},
    ColumnInfo{Column::MallClickShare, "\xC9\xCC\xB3\xC7\xB5\xE3\xBB\xF7\xD5\xBC\xB1\xC8",
               ColumnKind::Market, 110, true, true, true, true},
    ColumnInfo{Column::AdReferencePrice, "\xD6\xB1\xCD\xA8\xB3\xB5\xB2\xCE\xBF\xBC\xBC\xDB",
               ColumnKind::Market, 110, true, true, true, true},
    ColumnInfo{Column::DemandSupply, "\xD0\xE8\xC7\xF3\xB9\xA9\xB8\xF8\xB1\xC8", ColumnKind::Market,
               100, true, true, true, true},
    ColumnInfo{Column::PayingBuyers, "\xD6\xA7\xB8\xB6\xC2\xF2\xBC\xD2\xCA\xFD", ColumnKind::Market,
               100, true, true, true, true},
    // 宝贝数量变化: the change since the previous observed day, "+3.2%".
    ColumnInfo{Column::ListingChange, "\xB1\xA6\xB1\xB4\xCA\xFD\xC1\xBF\xB1\xE4\xBB\xAF",
               ColumnKind::Market, 110, true, true, true, true},
    // 联想热度: the suggestion weight as the reply gave it (shown rounded).
    ColumnInfo{Column::SuggestWeight, "\xC1\xAA\xCF\xEB\xC8\xC8\xB6\xC8", ColumnKind::Decimal, 90,
               true, true, true, true},
    // 需求供给比来源: "1" when 需求供给比 was computed from our 宝贝数量 (no 在线商品数).
    ColumnInfo{Column::DemandSupplyOurs, "\xD0\xE8\xC7\xF3\xB9\xA9\xB8\xF8\xB1\xC8\xC0\xB4\xD4\xB4",
               ColumnKind::StoredOnly, 0, false, false, false},
};

inline constexpr int kColumnCount = static_cast<int>(kColumns.size());

constexpr int Index(Column column) {
    return static_cast<int>(column);
}

constexpr const ColumnInfo& Info(Column column) {
    return kColumns[static_cast<std::size_t>(column)];
}

constexpr std::string_view Caption(Column column) {
    return Info(column).caption;
}

// The info of the column at index; nullptr outside the schema.
constexpr const ColumnInfo* InfoAt(int index) {
    return index >= 0 && index < kColumnCount ? &kColumns[static_cast<std::size_t>(index)]
                                              : nullptr;
}

// The leading columns every view shows and every export writes: the
// optional ones are not counted.
inline constexpr int kShownColumnCount = static_cast<int>(std::count_if(
    kColumns.begin(), kColumns.end(), [](const ColumnInfo& c) { return c.shown && !c.optional; }));
inline constexpr int kExportedColumnCount =
    static_cast<int>(std::count_if(kColumns.begin(), kColumns.end(),
                                   [](const ColumnInfo& c) { return c.exported && !c.optional; }));
// The optional columns, one block in storage after the older cells.
inline constexpr int kFirstOptionalColumn = static_cast<int>(
    std::find_if(kColumns.begin(), kColumns.end(), [](const ColumnInfo& c) { return c.optional; }) -
    kColumns.begin());
inline constexpr int kOptionalColumnCount = static_cast<int>(std::count_if(
    kColumns.begin(), kColumns.end(), [](const ColumnInfo& c) { return c.optional; }));
inline constexpr int kOptionalColumnsEnd = kFirstOptionalColumn + kOptionalColumnCount;

// The optional column of a market figure (app::MarketKind, same order).
constexpr Column MarketColumn(std::size_t kind) {
    return static_cast<Column>(Index(Column::SearchPopularity) + static_cast<int>(kind));
}
inline constexpr std::size_t kMarketColumnCount =
    static_cast<std::size_t>(Index(Column::PayingBuyers) - Index(Column::SearchPopularity) + 1);

namespace detail {

constexpr bool InEnumOrder() {
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        if (static_cast<std::size_t>(kColumns[i].column) != i) {
            return false;
        }
    }
    return true;
}

// Shown columns lead, exported ones follow them, and a stored-only cell is
// neither shown nor exported; the optional columns come last, each shown
// and exported when present.
constexpr bool InLayerOrder() {
    for (int i = 0; i < kColumnCount; ++i) {
        const ColumnInfo& c = kColumns[static_cast<std::size_t>(i)];
        if (c.optional != (i >= kFirstOptionalColumn && i < kOptionalColumnsEnd)) {
            return false;
        }
        if (i >= kOptionalColumnsEnd) {  // stored cells added with the optional columns
            if (c.kind != ColumnKind::StoredOnly || c.shown || c.exported) {
                return false;
            }
            continue;
        }
        if (c.optional) {
            if (!c.shown || !c.exported || c.kind == ColumnKind::StoredOnly ||
                c.initialWidth <= 0) {
                return false;
            }
            continue;
        }
        if (c.shown != (i < kShownColumnCount) || c.exported != (i < kExportedColumnCount)) {
            return false;
        }
        if (c.kind == ColumnKind::StoredOnly && (c.shown || c.exported)) {
            return false;
        }
        if (c.shown != (c.initialWidth > 0)) {
            return false;
        }
    }
    return kShownColumnCount <= kExportedColumnCount;
}

}  // namespace detail

static_assert(detail::InEnumOrder(), "kColumns lists every Column once, in enum order");
static_assert(detail::InLayerOrder(), "shown columns first, then exported, then stored");
// Append-only storage: the cells rows were saved with before the optional
// columns stay at these positions.
static_assert(Index(Column::FiguresTime) == 11 && kFirstOptionalColumn == 12 &&
                  kOptionalColumnsEnd == Index(Column::DemandSupplyOurs),
              "optional columns are stored after the older cells, the cells added with them last");
static_assert(kMarketColumnCount == 12 && MarketColumn(11) == Column::PayingBuyers);

}  // namespace mofeng::columns
