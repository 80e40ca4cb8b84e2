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
};

// What a cell holds. Integer and Decimal cells are written as numbers by the
// spreadsheet exports when their text is nothing but a number (a trend cell,
// a whole number and a mark, is not); StoredOnly cells are kept with the row
// and are no figure for the seller: never shown, never exported.
enum class ColumnKind { Text, Integer, Decimal, StoredOnly };

struct ColumnInfo {
    Column column;
    std::string_view caption;  // GBK
    ColumnKind kind;
    int initialWidth;  // pixels; 0 for a column no view shows
    bool shown;        // a column of the list's views
    bool exported;     // a column of the spreadsheet exports
    bool figure;       // a figure the lookups write: filters bound it, a non-finite one reads "--"
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

inline constexpr int kShownColumnCount = static_cast<int>(
    std::count_if(kColumns.begin(), kColumns.end(), [](const ColumnInfo& c) { return c.shown; }));
inline constexpr int kExportedColumnCount = static_cast<int>(std::count_if(
    kColumns.begin(), kColumns.end(), [](const ColumnInfo& c) { return c.exported; }));

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
// neither shown nor exported.
constexpr bool InLayerOrder() {
    for (int i = 0; i < kColumnCount; ++i) {
        const ColumnInfo& c = kColumns[static_cast<std::size_t>(i)];
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

}  // namespace mofeng::columns
