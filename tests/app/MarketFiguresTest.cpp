#include <gtest/gtest.h>

#include "app/CsvRecords.h"
#include "app/MarketColumns.h"
#include "app/MarketFigures.h"
#include "runtime/CodePage.h"

namespace mofeng::app {
namespace {

using runtime::Utf8ToGbk;

TEST(MarketValue, ReadsTheToolsWritingOfFigures) {
    struct Case {
        const char* utf8;
        const char* plain;  // nullptr: no figure
        double middle;
    };
    const Case cases[] = {
        {"12,345", "12345", 12345},
        {"1.2万", "12000", 12000},
        {"3.4亿", "340000000", 3.4e8},
        {"3.45%", "3.45%", 3.45},
        {" 0.5 % ", "0.5%", 0.5},
        {"１２，３４５", "12345", 12345},  // full-width digits and comma
        {"４.５％", "4.5%", 4.5},
        {"1万~2万", "10000~20000", 15000},
        {"1万～2万", "10000~20000", 15000},
        {"2万-1万", "10000~20000", 15000},  // a reversed range is still that range
        {"5%~10%", "5%~10%", 7.5},
        {"500至1,000", "500~1000", 750},
        {"-", nullptr, 0},
        {"", nullptr, 0},
        {"--", nullptr, 0},
        {"1.", nullptr, 0},
        {"abc", nullptr, 0},
        {"1万元", nullptr, 0},
        {"5%~10", nullptr, 0},  // a percent and a count are no range
        {"-5", nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        const auto value = ParseMarketValue(Utf8ToGbk(c.utf8));
        ASSERT_EQ(value.has_value(), c.plain != nullptr);
        if (value) {
            EXPECT_EQ(MarketValueText(*value), c.plain);
            EXPECT_DOUBLE_EQ(value->Middle(), c.middle);
        }
    }
}

TEST(MarketValue, HeadersNameTheirKindAndTheRatioNeedsADivisor) {
    EXPECT_EQ(MarketKindOfHeader(Utf8ToGbk(" 搜索人气 ")), MarketKind::SearchPopularity);
    EXPECT_EQ(MarketKindOfHeader(Utf8ToGbk("天猫商品点击占比")), MarketKind::MallClickShare);
    EXPECT_EQ(MarketKindOfHeader(Utf8ToGbk("商城点击占比")), MarketKind::MallClickShare);
    EXPECT_EQ(MarketKindOfHeader(Utf8ToGbk("关键词")), std::nullopt);
    EXPECT_EQ(MarketCaption(MarketKind::PayingBuyers), Utf8ToGbk("支付买家数"));

    EXPECT_EQ(DemandSupplyRatio(Utf8ToGbk("1.2万"), "4,000"), "3.00");
    EXPECT_EQ(DemandSupplyRatio("100", "3"), "33.33");
    EXPECT_EQ(DemandSupplyRatio("100", "0"), std::nullopt);
    EXPECT_EQ(DemandSupplyRatio("100", "-"), std::nullopt);
    EXPECT_EQ(DemandSupplyRatio("3%", "3"), std::nullopt);
}

}  // namespace
}  // namespace mofeng::app

namespace mofeng::app {
namespace {

// A seller tool's export: notes first, then the header, then the figures.
TEST(MarketColumns, ATableShapedLikeTheToolsExportGivesEachRowItsFigures) {
    const std::string csv = Utf8ToGbk(
        "统计日期,2026-12-01 ~ 2026-12-07\n"
        "说明,数据来自生意参谋\n"
        "关键词,搜索人气,点击率,在线商品数,天猫商品点击占比,支付转化率,搜索人气\n"
        "连衣裙,\"12,345\",3.45%,1.2万,-,0.5%,99\n"
        "手机壳,1万~2万,-,,40%,x\n");
    CsvRecords records(csv, ',');
    std::vector<std::vector<std::string>> rows;
    for (std::vector<std::string> fields; records.Next(fields);) {
        rows.push_back(fields);
    }
    ASSERT_EQ(rows.size(), 5u);
    const MarketColumns columns = MarketColumnsOfHeader(rows[2]);
    ASSERT_EQ(columns.size(), 5u);  // the second 搜索人气 is not taken
    EXPECT_TRUE(MarketColumnsOfHeader(rows[0]).empty());

    MarketRow dress = MarketRowOfRecord(rows[3], columns);
    EXPECT_EQ(dress[MarketKind::SearchPopularity], "12,345");
    EXPECT_EQ(dress[MarketKind::ClickRate], "3.45%");
    EXPECT_EQ(dress[MarketKind::MallClickShare], "");  // "-"
    CompleteDemandSupply(dress, "999");
    EXPECT_EQ(dress[MarketKind::DemandSupply], "1.03");  // 12345 / 12000: theirs first
    EXPECT_FALSE(dress.demandSupplyFromOurCount);

    MarketRow phone = MarketRowOfRecord(rows[4], columns);
    EXPECT_EQ(phone[MarketKind::PayConversion], "");  // "x" is no figure
    EXPECT_EQ(phone[MarketKind::MallClickShare], Utf8ToGbk("40%"));
    CompleteDemandSupply(phone, "3000");  // no 在线商品数: from our count, by the middle
    EXPECT_EQ(phone[MarketKind::DemandSupply], "5.00");
    EXPECT_TRUE(phone.demandSupplyFromOurCount);

    // A later table replaces what it has and keeps the rest.
    MarketRow later;
    later[MarketKind::ClickRate] = "4%";
    MergeMarketRow(dress, later);
    EXPECT_EQ(dress[MarketKind::ClickRate], "4%");
    EXPECT_EQ(dress[MarketKind::SearchPopularity], "12,345");
    const auto pairs = MarketPairs(dress);
    ASSERT_FALSE(pairs.empty());
    EXPECT_EQ(pairs.front().first, MarketCaption(MarketKind::SearchPopularity));
    EXPECT_TRUE(MarketRow{}.Empty());
}

}  // namespace
}  // namespace mofeng::app
