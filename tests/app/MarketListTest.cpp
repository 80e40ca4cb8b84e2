#include <gtest/gtest.h>

#include "app/KeywordListColumns.h"
#include "app/MarketFigures.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"

namespace mofeng::app {
namespace {

using runtime::Utf8ToGbk;

constexpr int kSearchPopularity = columns::Index(columns::Column::SearchPopularity);
constexpr int kClickRate = columns::Index(columns::Column::ClickRate);
constexpr int kSuggestWeight = columns::Index(columns::Column::SuggestWeight);

TEST(MarketListColumns, EachKindHasTheColumnOfItsCaption) {
    for (std::size_t kind = 0; kind < kMarketKindCount; ++kind) {
        EXPECT_EQ(columns::Caption(columns::MarketColumn(kind)),
                  MarketCaption(static_cast<MarketKind>(kind)))
            << kind;
    }
    EXPECT_EQ(columns::kMarketColumnCount, kMarketKindCount);
    // The leading columns of views and exports are still the eight and 状态.
    EXPECT_EQ(columns::kShownColumnCount, 8);
    EXPECT_EQ(columns::kExportedColumnCount, 9);
}

TEST(MarketListColumns, OnlyColumnsTheGivenRowsHoldArePresent) {
    runtime::MemoryTable table(KeywordListStorageColumns());
    runtime::Row a(columns::kColumnCount);
    a[1] = "a";
    a[kClickRate] = "3.45%";
    runtime::Row b = a;
    b[1] = "b";
    b[kClickRate].clear();
    b[kSearchPopularity] = Utf8ToGbk("1.2万");
    b[kSuggestWeight] = "718826.98";
    table.AppendRows({a, b});
    EXPECT_EQ(PresentOptionalColumns(table, {0}), std::vector<int>{kClickRate});
    EXPECT_EQ(PresentOptionalColumns(table, {0, 1}),
              (std::vector<int>{kSearchPopularity, kClickRate, kSuggestWeight}));
    EXPECT_EQ(LeadingAndPresentColumns(table, {0}, 3), (std::vector<int>{0, 1, 2, kClickRate}));
    // A list stored before the optional columns existed has none of them.
    runtime::MemoryTable old(std::vector<std::pair<std::string, int>>(
        KeywordListStorageColumns().begin(),
        KeywordListStorageColumns().begin() + columns::kFirstOptionalColumn));
    old.AppendRows({runtime::Row{"1", "a"}});
    EXPECT_TRUE(PresentOptionalColumns(old, {0}).empty());
}

}  // namespace
}  // namespace mofeng::app
