#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/KeywordFilter.h"
#include "runtime/CodePage.h"
#include "runtime/TableData.h"

namespace mofeng::app {
namespace {

using runtime::Utf8ToGbk;

std::vector<std::string> Gbk(std::initializer_list<const char*> utf8) {
    std::vector<std::string> out;
    for (const char* text : utf8) {
        out.push_back(Utf8ToGbk(text));
    }
    return out;
}

TEST(KeywordFilterWords, SplitAtSpacesTabsAndWholeFullWidthSpaces) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> words;
    };
    const std::vector<Case> cases = {
        {"empty", "", {}},
        {"blank", "  \t ", {}},
        {"ASCII", " red  blue\tgreen ", {"red", "blue", "green"}},
        {"full-width space", Utf8ToGbk("连衣裙　女"), Gbk({"连衣裙", "女"})},
        // "、" is A1 A2 and "°" A1 E3: their A1 lead byte is no separator, nor
        // is an A1 A1 pair across two characters (B0 A1 + A1 B0).
        {"A1 lead of another character", Utf8ToGbk("裙、衫"), Gbk({"裙、衫"})},
        {"A1 A1 across characters", Utf8ToGbk("啊“"), Gbk({"啊“"})},
        {"lead byte at the end", "ab\xB0", {"ab\xB0"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitWords(c.text), c.words) << c.name;
    }
}

TEST(KeywordFilterBounds, BlankIsNoBoundElseTheSortsNumber) {
    EXPECT_EQ(BoundOf(""), std::nullopt);
    EXPECT_EQ(BoundOf("   "), std::nullopt);
    EXPECT_EQ(BoundOf("12.5"), 12.5);
    EXPECT_EQ(BoundOf(" -3"), -3.0);
    EXPECT_EQ(BoundOf("1e3x"), 1000.0);
    EXPECT_EQ(BoundOf(Utf8ToGbk("１２")), 12.0);  // full-width digits, as the sort reads them
    EXPECT_EQ(BoundOf("abc"), 0.0);
}

class KeywordFilterRows : public ::testing::Test {
protected:
    void SetUp() override {
        // 序号, 关键词, 宝贝数量, 昨日, 7天平均, 趋势, 竞争倍数, 斜率
        m_data.AppendRows({
            {"1", Utf8ToGbk("碎花连衣裙"), "1200", "", "35.5", "", "3.2", ""},
            {"2", Utf8ToGbk("连衣裙 夏"), "80", "", "10", "", "--", ""},
            {"3", Utf8ToGbk("男士衬衫"), "", "", "", "", "", ""},
            // B0 A1 + A1 B0 ("啊" then "“"): bytes A1 A1 lie across the two.
            {"4", Utf8ToGbk("啊“"), "5", "", "7", "", "0.5", ""},
            {"5", "iPhone case", "300", "", "1e2", "", "12", ""},
        });
    }

    std::vector<int> Passing(const KeywordFilterCriteria& criteria) const {
        std::vector<int> rows;
        for (int row = 0; row < m_data.RowCount(); ++row) {
            if (RowPasses(criteria, m_data, row)) {
                rows.push_back(row);
            }
        }
        return rows;
    }

    runtime::TableData m_data{8};
};

TEST_F(KeywordFilterRows, CombinationsOfWordsAndRanges) {
    struct Case {
        const char* name;
        KeywordFilterCriteria criteria;
        std::vector<int> rows;
    };
    const std::vector<Case> cases = {
        {"no criteria", {}, {0, 1, 2, 3, 4}},
        {"contains", {Utf8ToGbk("连衣裙"), {}, {}}, {0, 1}},
        {"contains is case-sensitive", {"iphone", {}, {}}, {}},
        {"exclude any of the words", {"", Gbk({"夏", "衬衫"}), {}}, {0, 3, 4}},
        {"contains and exclude", {Utf8ToGbk("连衣裙"), Gbk({"碎花"}), {}}, {1}},
        // The full-width space's bytes A1 A1 in row 4 straddle two characters.
        {"no match across a character boundary", {Utf8ToGbk("　"), {}, {}}, {}},
        {"a trail byte (of 裙) is no match", {"\xB9", {}, {}}, {}},
        {"min count", {"", {}, {{2, 100.0, std::nullopt}}}, {0, 4}},
        {"max count includes the bound", {"", {}, {{2, std::nullopt, 80.0}}}, {1, 2, 3}},
        {"empty cell reads as 0", {"", {}, {{2, 0.0, 0.0}}}, {2}},
        {"average between", {"", {}, {{4, 10.0, 100.0}}}, {0, 1, 4}},
        {"non-finite cell reads as 0", {"", {}, {{6, std::nullopt, 0.0}}}, {1, 2}},
        {"all together",
         {Utf8ToGbk("连衣裙"), Gbk({"夏"}), {{2, 1000.0, std::nullopt}, {6, 3.0, 4.0}}},
         {0}},
        {"empty range", {"", {}, {{2, 10.0, 5.0}}}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Passing(c.criteria), c.rows) << c.name;
    }
}

TEST_F(KeywordFilterRows, EmptinessAndRowsOutsideTheData) {
    KeywordFilterCriteria criteria;
    criteria.ranges = {{2, std::nullopt, std::nullopt}, {4, std::nullopt, std::nullopt}};
    EXPECT_TRUE(criteria.IsEmpty());  // open ranges filter nothing
    criteria.ranges[1].min = 0.0;
    EXPECT_FALSE(criteria.IsEmpty());
    EXPECT_FALSE(RowPasses({}, m_data, -1));
    EXPECT_FALSE(RowPasses({}, m_data, m_data.RowCount()));
}

}  // namespace
}  // namespace mofeng::app
