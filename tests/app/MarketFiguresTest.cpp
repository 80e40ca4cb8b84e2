#include <gtest/gtest.h>

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
