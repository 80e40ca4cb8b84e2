#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/TrendSeriesCell.h"

namespace mofeng::app {
namespace {

TEST(TrendSeriesCell, OnlySevenRunsOfDigitsAreASeries) {
    struct Case {
        const char* cell;
        std::optional<SeriesValues> values;
    };
    const Case cases[] = {
        {"100,110,121,133,146,161,177", SeriesValues{100, 110, 121, 133, 146, 161, 177}},
        {"0120,0,0,0,0,0,9", SeriesValues{120, 0, 0, 0, 0, 0, 9}},  // leading zeros as received
        {"", std::nullopt},
        {"1,2,3,4,5,6", std::nullopt},
        {"1,2,3,4,5,6,7,8", std::nullopt},
        {"1,2,3,4,5,6,7,", std::nullopt},
        {",1,2,3,4,5,6,7", std::nullopt},
        {"1,2,3,,5,6,7", std::nullopt},
        {"1,2,3,-4,5,6,7", std::nullopt},
        {"1,2,3,4.5,5,6,7", std::nullopt},
        {"1,2,3,4,5,6,7 ", std::nullopt},
        {"1,2,3,4,5,6,inf", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseSeriesCell(c.cell), c.values) << '"' << c.cell << '"';
    }
}

TEST(TrendSeriesCell, AverageDropsTheFractionAsTheListDoes) {
    EXPECT_EQ(SeriesAverage({100, 110, 121, 133, 146, 161, 177}), 135);  // 948 / 7 = 135.43
    EXPECT_EQ(SeriesAverage({1000, 1200, 900, 1100, 1000, 950, 1300}), 1064);
    EXPECT_EQ(SeriesAverage({134, 134, 134, 134, 134, 134, 140}), 134);  // 944 / 7 = 134.86
    EXPECT_EQ(SeriesAverage({0, 0, 0, 0, 0, 0, 0}), 0);
}

}  // namespace
}  // namespace mofeng::app
