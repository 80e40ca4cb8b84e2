#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
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
std::vector<int> ReferenceOrder(const std::vector<std::string>& texts) {
    std::vector<std::string> keys;
    std::vector<int> order;
    auto value = [&](int p) { return runtime::ToNumber(keys[p - 1]); };
    for (int i = 0; i < std::ssize(texts); ++i) {
        const int k = std::ssize(keys);
        const double x = runtime::ToNumber(texts[i]);
        int p = 0;
        if (k == 0) {
            p = 1;
        } else if (x - value(k) >= -1e-7) {
            p = k + 1;
        } else if (x - value(1) <= 1e-7) {
            p = 1;
        } else {
            int lo = 1, hi = k;
            while (lo < hi - 1) {
                const int mid = static_cast<int>(runtime::IntegerDivide(lo + hi, 2));
                const double y = value(mid);
                if (std::fabs(x - y) <= 1e-7) {
                    lo = mid;
                    break;
                }
                (x - y < -1e-7 ? hi : lo) = mid;
            }
            p = lo + 1;
        }
        keys.insert(keys.begin() + (p - 1), texts[i]);
        order.insert(order.begin() + (p - 1), i);
    }
    return {order.rbegin(), order.rend()};
}

struct OrderCase {
    const char* name;
    std::vector<std::string> texts;
    std::vector<int> order;
};
void PrintTo(const OrderCase& c, std::ostream* out) {
    *out << c.name;
}

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
                    // The search meets the equal 2 and puts the new 2 right after it.
                    OrderCase{"EqualFoundByTheSearch", {"1", "2", "3", "2"}, {2, 3, 1, 0}}),
    [](const testing::TestParamInfo<OrderCase>& info) { return info.param.name; });

TEST(FindInsertPosition, FollowsTheToleranceRules) {
    const std::vector<double> keys = {1, 2, 3, 5};
    const std::vector<std::pair<double, int>> cases = {
        {0.5, 1}, {1 + 5e-8, 1}, {1.5, 2}, {2 + 5e-8, 3}, {4, 4}, {5 - 5e-8, 5}, {9, 5}};
    for (const auto& [x, position] : cases) {
        EXPECT_EQ(FindInsertPosition(keys, x), position) << x;
    }
    EXPECT_EQ(FindInsertPosition({}, 3), 1);
}

// Values crowded around a few centres, so that many pairs sit at, just inside
// and just outside the tolerance, plus exact repeats, texts without numbers
// and runs of rising and falling values.
std::vector<std::string> CrowdedColumn(std::mt19937& random, int rows) {
    const double steps[] = {0.0, 1e-8, 5e-8, 1e-7, 1.5e-7, 3e-7, 1e-6, 1.0};
    std::vector<std::string> texts;
    for (int i = 0; i < rows; ++i) {
        const unsigned kind = random() % 12;
        char buffer[64];
        if (kind == 0) {
            texts.push_back(i % 2 == 0 ? "" : "  --");
        } else if (kind == 1 && !texts.empty()) {
            texts.push_back(texts[random() % texts.size()]);
        } else if (kind == 2) {
            std::snprintf(buffer, sizeof buffer, "%d", (i % 40 < 20 ? i : -i) % 97);
            texts.push_back(buffer);
        } else {
            const double centre = static_cast<int>(random() % 7) * 10.0 - 30.0;
            const double offset = (static_cast<int>(random() % 7) - 3) * steps[random() % 8];
            std::snprintf(buffer, sizeof buffer, "%.12f", centre + offset);
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
    const auto large = CrowdedColumn(random, 6000);  // many blocks, many splits
    EXPECT_EQ(DescendingRowOrder(large), ReferenceOrder(large));
}

TEST(SortByColumn, MovesWholeRowsAndAllEqualKeysReverse) {
    runtime::MemoryTable table({{"No", 55}, {"Keyword", 160}, {"Count", 100}});
    table.AppendRows({{"1", "a", "5"}, {"2", "b", "3"}, {"3", "c", "8"}, {"4", "d", "3"}});
    SortByColumn(table, 2);
    const std::vector<runtime::Row> byCount = {
        {"3", "c", "8"}, {"1", "a", "5"}, {"2", "b", "3"}, {"4", "d", "3"}};
    EXPECT_EQ(table.Rows(), byCount);
    SortByColumn(table, 1);  // keywords are all 0: the order reverses
    SortByColumn(table, 1);  // and comes back
    EXPECT_EQ(table.Rows(), byCount);
}

// Texts in the order `order` gives.
std::vector<std::string> Reordered(const std::vector<std::string>& texts,
                                   const std::vector<int>& order) {
    std::vector<std::string> out;
    for (int row : order) {
        out.push_back(texts[static_cast<std::size_t>(row)]);
    }
    return out;
}

// Figures as a list holds them: two decimals, many ties, some empty cells.
TEST(AscendingRowOrder, MirrorsTheLargestFirstOrderExactlyTiesIncluded) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> texts;
        for (int i = 0; i < 1 + round % 50; ++i) {
            char buffer[32];
            const int kind = static_cast<int>(random() % 4);
            std::snprintf(buffer, sizeof buffer, "%.2f",
                          (static_cast<int>(random() % 9) - 3) * 0.25);
            texts.push_back(kind == 0 ? std::string() : "k" + std::to_string(i) + "|" + buffer);
        }
        // The sort reads the leading number: strip the tags for the keys,
        // keep them in the texts to tell rows apart.
        std::vector<std::string> keys;
        for (const std::string& text : texts) {
            keys.push_back(text.empty() ? text : text.substr(text.find('|') + 1));
        }
        const std::vector<int> down = DescendingRowOrder(keys);
        const std::vector<std::string> sortedDown = Reordered(texts, down);
        const std::vector<std::string> sortedDownKeys = Reordered(keys, down);
        // Smallest first, from the largest-first order: its exact mirror.
        std::vector<std::string> mirror(sortedDown.rbegin(), sortedDown.rend());
        const std::vector<int> up = AscendingRowOrder(sortedDownKeys);
        ASSERT_EQ(Reordered(sortedDown, up), mirror) << "round " << round;
        // And back again: the largest-first order comes back exactly.
        const std::vector<std::string> mirrorKeys(sortedDownKeys.rbegin(), sortedDownKeys.rend());
        ASSERT_EQ(Reordered(mirror, DescendingRowOrder(mirrorKeys)), sortedDown)
            << "round " << round;
        // From any order, the keys come out ascending.
        const std::vector<std::string> upKeys = Reordered(keys, AscendingRowOrder(keys));
        for (std::size_t i = 1; i < upKeys.size(); ++i) {
            ASSERT_LE(runtime::ToNumber(upKeys[i - 1]), runtime::ToNumber(upKeys[i]) + 1e-7);
        }
    }
}

TEST(SortByColumn, SmallestFirstMovesWholeRows) {
    runtime::MemoryTable table({{"No", 55}, {"Keyword", 160}, {"Count", 100}});
    table.AppendRows({{"1", "a", "5"}, {"2", "b", "3"}, {"3", "c", "8"}, {"4", "d", "-1"}});
    SortByColumn(table, 2, SortOrder::SmallestFirst);
    EXPECT_EQ(table.Rows(),
              (std::vector<runtime::Row>{
                  {"4", "d", "-1"}, {"2", "b", "3"}, {"1", "a", "5"}, {"3", "c", "8"}}));
    EXPECT_EQ(AscendingRowOrder({"2", "2", "1", "3"}), (std::vector<int>{2, 1, 0, 3}));
    EXPECT_EQ(AscendingRowOrder({}), std::vector<int>{});
}

}  // namespace
}  // namespace mofeng::app
