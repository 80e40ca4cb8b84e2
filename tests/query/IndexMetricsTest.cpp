#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "query/IndexMetrics.h"
#include "query/TrendSeries.h"
#include "regex/RegexObject.h"

namespace mofeng::query {
namespace {

// The marks as GBK bytes: two spaces and an up arrow, a down arrow, "--".
const std::string kUp = "  \xA1\xFC";
const std::string kDown = "  \xA1\xFD";
const std::string kFlat = "  --";

TrendSeries Series(std::initializer_list<const char*> values) {
    TrendSeries series;
    std::size_t k = 0;
    for (const char* value : values) {
        series.values[k++] = value;
    }
    return series;
}

bool IsNanText(const std::string& text) {
    return text == "nan" || text == "-nan";
}

TEST(IndexMetrics, ColumnsFromSevenDays) {
    const struct {
        TrendSeries series;
        std::int32_t count;
        IndexMetrics expected;
    } cases[] = {
        {Series({"100", "110", "121", "133", "146", "161", "177"}),
         5000,
         {"177", "135", "42" + kUp, "270", "0.5"}},
        {Series({"50", "50", "50", "50", "50", "50", "50"}),
         200,
         {"50", "50", "0" + kFlat, "2500", "0.0"}},
        {Series({"300", "280", "260", "240", "220", "200", "180"}),
         1000,
         {"180", "240", "-60" + kDown, "2400", "-0.5"}},
        {Series({"1000", "1200", "900", "1100", "1000", "950", "1300"}),
         37,
         {"1300", "1064", "236" + kUp, "287568", "0.1"}},
        // 944 / 7 = 134.86: the average drops the fraction.
        {Series({"134", "134", "134", "134", "134", "134", "140"}),
         134,
         {"140", "134", "6" + kUp, "10000", "0.0"}},
        // A small fall rounds to zero and keeps its sign.
        {Series({"100", "100", "100", "100", "100", "100", "99"}),
         99,
         {"99", "99", "0" + kFlat, "10000", "-0.0"}},
        // Shown as received, computed as 120.
        {Series({"120", "120", "120", "120", "120", "120", "0120"}),
         120,
         {"0120", "120", "0" + kFlat, "10000", "0.0"}},
        // A zero day divides by zero: the slope is infinite.
        {Series({"10", "0", "10", "10", "10", "10", "10"}),
         10,
         {"10", "8", "2" + kUp, "8000", "-inf"}},
        // No listings with trend data: the competition multiple is infinite.
        {Series({"50", "50", "50", "50", "50", "50", "50"}),
         0,
         {"50", "50", "0" + kFlat, "inf", "0.0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.series.values[0] + "," + c.series.values[6] + " / " +
                     std::to_string(c.count));
        const IndexMetrics metrics = ComputeIndexMetrics(c.series, c.count);
        EXPECT_EQ(metrics.yesterday, c.expected.yesterday);
        EXPECT_EQ(metrics.average, c.expected.average);
        EXPECT_EQ(metrics.trend, c.expected.trend);
        EXPECT_EQ(metrics.competition, c.expected.competition);
        EXPECT_EQ(metrics.slope, c.expected.slope);
    }
}

TEST(IndexMetrics, MissingSeriesGivesTheFallbackTexts) {
    const IndexMetrics withCount = ComputeIndexMetrics(TrendSeries{}, 5000);
    EXPECT_EQ(withCount.yesterday, "");
    EXPECT_EQ(withCount.average, "0");
    EXPECT_EQ(withCount.trend, "0" + kFlat);
    EXPECT_EQ(withCount.competition, "0");
    EXPECT_TRUE(IsNanText(withCount.slope)) << withCount.slope;

    // Neither series nor listings: 0 / 0.
    EXPECT_TRUE(IsNanText(ComputeIndexMetrics(TrendSeries{}, 0).competition));
}

TEST(ParseTrendSeries, TakesTheFirstArrayEndingInZeroBeforeLastdate) {
    const struct {
        const char* name;
        std::string body;
        TrendSeries expected;
    } cases[] = {
        {"realistic reply",
         R"({"data":{"pc":[1,2,3,4,5,6,7,8,9],"all":[5,9,100,110,121,133,146,161,177,0],)"
         R"("lastdate":"2026-12-06"}})",
         Series({"100", "110", "121", "133", "146", "161", "177"})},
        {"leading zero kept", R"([1,2,3,4,5,6,0120,0],"lastdate":"x")",
         Series({"1", "2", "3", "4", "5", "6", "0120"})},
        {"array not ending in 0", R"([1,2,3,4,5,6,7,8],"lastdate":"x")", TrendSeries{}},
        {"lastdate not directly after", R"([1,2,3,4,5,6,7,0],"other":1,"lastdate":"x")",
         TrendSeries{}},
        {"fewer than seven values", R"([1,2,3,4,5,6,0],"lastdate":"x")", TrendSeries{}},
        {"first of two arrays",
         R"([1,2,3,4,5,6,7,0],"lastdate":"a",[8,9,10,11,12,13,14,0],"lastdate":"b")",
         Series({"1", "2", "3", "4", "5", "6", "7"})},
        {"member name in other case", R"([1,2,3,4,5,6,7,0],"LastDate":"x")",
         Series({"1", "2", "3", "4", "5", "6", "7"})},
        {"empty body", "", TrendSeries{}},
    };
    regex::RegexObject regex;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseTrendSeries(c.body, regex).values, c.expected.values);
    }
}

TEST(ParseTrendSeries, TheValueOfLastdateMayBeWrittenAnyWay) {
    const struct {
        const char* name;
        std::string body;
    } cases[] = {
        {"unquoted", R"({"all":[5,9,100,110,121,133,146,161,177,0],"lastdate":20261206})"},
        {"spaced", R"({"all":[5,9,100,110,121,133,146,161,177,0],"lastdate": "2026-12-06"})"},
        {"null", R"({"all":[5,9,100,110,121,133,146,161,177,0],"lastdate":null})"},
        {"cut after the colon", R"({"all":[5,9,100,110,121,133,146,161,177,0],"lastdate":)"},
    };
    regex::RegexObject regex;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseTrendSeries(c.body, regex).values,
                  Series({"100", "110", "121", "133", "146", "161", "177"}).values);
    }
    // The member name still follows the array directly, colon included.
    EXPECT_EQ(ParseTrendSeries(R"([1,2,3,4,5,6,7,0],"lastdate" :1)", regex).values,
              TrendSeries{}.values);
}

}  // namespace
}  // namespace mofeng::query
