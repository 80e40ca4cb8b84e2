#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/ColumnSort.h"
#include "runtime/MemoryTable.h"
#include "runtime/NumberOps.h"

namespace mofeng::app {
namespace {

// The binary-insertion pass written out literally, with array inserts: the
// order the fast version has to reproduce, ties included.
int ReferenceInsertPosition(const std::vector<std::string>& keys, const std::string& text) {
    const int k = static_cast<int>(keys.size());
    const double x = runtime::ToNumber(text);
    auto value = [&](int p) { return runtime::ToNumber(keys[p - 1]); };
    if (k == 0) {
        return 1;
    }
    if (x - value(k) >= -1e-7) {
        return k + 1;
    }
    if (x - value(1) <= 1e-7) {
        return 1;
    }
    int lo = 1;
    int hi = k;
    while (lo < hi - 1) {
        const int mid = static_cast<int>(runtime::IntegerDivide(lo + hi, 2));
        const double y = value(mid);
        if (std::fabs(x - y) <= 1e-7) {
            lo = mid;
            break;
        }
        if (x - y < -1e-7) {
            hi = mid;
        } else {
            lo = mid;
        }
    }
    return lo + 1;
}

std::vector<int> ReferenceOrder(const std::vector<std::string>& texts) {
    std::vector<std::string> keys;
    std::vector<int> order;
    for (int i = 0; i < static_cast<int>(texts.size()); ++i) {
        const int p = ReferenceInsertPosition(keys, texts[i]);
        keys.insert(keys.begin() + (p - 1), texts[i]);
        order.insert(order.begin() + (p - 1), i);
    }
    const int r = static_cast<int>(texts.size());
    std::vector<int> result;
    for (int q = 0; q < r; ++q) {
        result.push_back(order[r - q - 1]);
    }
    return result;
}

struct OrderCase {
    const char* name;
    std::vector<std::string> texts;
    std::vector<int> order;
};

void PrintTo(const OrderCase& c, std::ostream* out) { *out << c.name; }

class DescendingOrder : public testing::TestWithParam<OrderCase> {};

TEST_P(DescendingOrder, MatchesTheInsertionPass) {
    EXPECT_EQ(DescendingRowOrder(GetParam().texts), GetParam().order);
    EXPECT_EQ(ReferenceOrder(GetParam().texts), GetParam().order);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, DescendingOrder,
    testing::Values(OrderCase{"Empty", {}, {}}, OrderCase{"OneRow", {"7"}, {0}},
                    OrderCase{"Distinct", {"5", "3", "8"}, {2, 0, 1}},
                    OrderCase{"EqualPairReversed", {"2", "2", "1", "3"}, {3, 1, 0, 2}},
                    OrderCase{"NoNumbersReverse", {"abc", "", "x1", "  --"}, {3, 2, 1, 0}},
                    OrderCase{"HundredMillionthIsEqual", {"1.00000001", "1"}, {1, 0}},
                    OrderCase{"MillionthIsNotEqual", {"1.000001", "1"}, {0, 1}},
                    OrderCase{"LeadingNumberCounts", {"12abc", "3", "-4", "12.5"}, {3, 0, 1, 2}},
                    // 2 meets the equal 2 in the search and goes right after it.
                    OrderCase{"EqualFoundByTheSearch", {"1", "2", "3", "2"}, {2, 3, 1, 0}}),
    [](const testing::TestParamInfo<OrderCase>& info) { return info.param.name; });

TEST(FindInsertPosition, FollowsTheToleranceRules) {
    const std::vector<double> keys = {1, 2, 3, 5};
    struct Case {
        double x;
        int position;
    };
    for (const Case& c :
         {Case{0.5, 1}, Case{1, 1}, Case{1 + 5e-8, 1}, Case{1.5, 2}, Case{2, 3}, Case{2 + 5e-8, 3},
          Case{4, 4}, Case{5 - 5e-8, 5}, Case{5, 5}, Case{9, 5}}) {
        EXPECT_EQ(FindInsertPosition(keys, c.x), c.position) << c.x;
    }
    EXPECT_EQ(FindInsertPosition({}, 3), 1);
    EXPECT_EQ(FindInsertPosition({4}, 4), 2);
    EXPECT_EQ(FindInsertPosition({4}, 3), 1);
}

// Values crowded around a few centres, so that many pairs sit at, just inside
// and just outside the tolerance, plus exact repeats and texts without numbers.
std::vector<std::string> CrowdedColumn(std::mt19937& random, int rows) {
    const std::vector<double> steps = {0.0, 1e-8, 5e-8, 1e-7, 1.5e-7, 3e-7, 1e-6, 1.0};
    std::uniform_int_distribution<int> centre(-3, 3);
    std::uniform_int_distribution<int> step(0, static_cast<int>(steps.size()) - 1);
    std::uniform_int_distribution<int> multiple(-3, 3);
    std::uniform_int_distribution<int> kind(0, 9);
    std::vector<std::string> texts;
    for (int i = 0; i < rows; ++i) {
        const int k = kind(random);
        if (k == 0) {
            texts.push_back(i % 2 == 0 ? "" : "  --");
        } else if (k == 1 && !texts.empty()) {
            texts.push_back(texts[random() % texts.size()]);
        } else {
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%.12f",
                          centre(random) * 10.0 + multiple(random) * steps[step(random)]);
            texts.push_back(buffer);
        }
    }
    return texts;
}

TEST(DescendingRowOrder, MatchesTheReferenceOnCrowdedValues) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round) {
        const auto texts = CrowdedColumn(random, 1 + round % 60);
        ASSERT_EQ(DescendingRowOrder(texts), ReferenceOrder(texts)) << "round " << round;
    }
    const auto large = CrowdedColumn(random, 5000);
    EXPECT_EQ(DescendingRowOrder(large), ReferenceOrder(large));
}

TEST(DescendingRowOrder, MatchesTheReferenceOnPresortedRuns) {
    std::vector<std::string> ascending, descending, sawtooth;
    for (int i = 0; i < 2000; ++i) {
        ascending.push_back(std::to_string(i));
        descending.push_back(std::to_string(2000 - i));
        sawtooth.push_back(std::to_string(i % 37) + ".0000000" + std::to_string(i % 3));
    }
    for (const auto* texts : {&ascending, &descending, &sawtooth}) {
        EXPECT_EQ(DescendingRowOrder(*texts), ReferenceOrder(*texts));
    }
}

// Rows (number, keyword, count), numbered from 1.
std::unique_ptr<runtime::MemoryTable> TableOf(
    const std::vector<std::pair<std::string, std::string>>& rows) {
    auto table = std::make_unique<runtime::MemoryTable>(
        std::vector<std::pair<std::string, int>>{{"No", 55}, {"Keyword", 160}, {"Count", 100}});
    for (const auto& [keyword, count] : rows) {
        table->AppendRows({{std::to_string(table->RowCount() + 1), keyword, count}});
    }
    return table;
}

TEST(SortByColumn, MovesWholeRows) {
    auto table = TableOf({{"a", "5"}, {"b", "3"}, {"c", "8"}});
    SortByColumn(*table, 2);
    const std::vector<runtime::Row> expected = {{"3", "c", "8"}, {"1", "a", "5"}, {"2", "b", "3"}};
    EXPECT_EQ(table->Rows(), expected);
}

TEST(SortByColumn, KeywordColumnReversesAndSecondClickRestores) {
    auto table = TableOf({{"dress", ""}, {"shoe", ""}, {"hat", ""}, {"bag", ""}});
    const auto original = table->Rows();
    SortByColumn(*table, 1);
    EXPECT_EQ(table->ColumnTexts(1), (std::vector<std::string>{"bag", "hat", "shoe", "dress"}));
    SortByColumn(*table, 1);
    EXPECT_EQ(table->Rows(), original);
}

TEST(SortByColumn, EmptyAndSingleRowListsStayAsTheyAre) {
    auto empty = TableOf({});
    SortByColumn(*empty, 2);
    EXPECT_EQ(empty->RowCount(), 0);
    auto single = TableOf({{"a", "1"}});
    SortByColumn(*single, 2);
    EXPECT_EQ(single->Rows(), (std::vector<runtime::Row>{{"1", "a", "1"}}));
}

}  // namespace
}  // namespace mofeng::app
