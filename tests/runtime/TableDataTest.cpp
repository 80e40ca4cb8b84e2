#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "runtime/TableData.h"

namespace mofeng::runtime {
namespace {

int ScanFor(const TableData& data, std::string_view text, int column) {
    for (int row = 0; row < data.RowCount(); ++row) {
        if (data.Cell(row, column) == text) {
            return row;
        }
    }
    return -1;
}

TEST(TableData, FindRowGivesTheTopmostOfRepeatedTexts) {
    TableData data(1);
    data.AppendRows({{"a"}, {"b"}, {"a"}, {"a"}});
    struct Step {
        int row;  // -1: no write, only the lookup
        const char* text;
        int topmostA;
    };
    const Step steps[] = {
        {-1, "", 0}, {0, "x", 2}, {3, "a", 2}, {2, "y", 3}, {0, "a", 0}, {0, "a", 0}, {3, "b", 0},
    };
    for (const Step& step : steps) {
        if (step.row >= 0) {
            data.SetCell(step.row, 0, step.text);
        }
        EXPECT_EQ(data.FindRow("a", 0), step.topmostA) << "after row " << step.row;
    }
    ASSERT_TRUE(data.ReorderRows({3, 2, 1, 0}));  // b y b a
    EXPECT_EQ(data.FindRow("a", 0), 3);
    EXPECT_EQ(data.FindRow("b", 0), 0);
    data.AppendRows({{"a"}});
    EXPECT_EQ(data.FindRow("a", 0), 3);
}

TEST(TableData, IndexSurvivesAMove) {
    TableData first(2);
    first.AppendRows({{"1", "k"}, {"2", "m"}});
    ASSERT_EQ(first.FindRow("m", 1), 1);  // builds the index
    TableData moved(std::move(first));
    moved.SetCell(0, 1, "m");
    EXPECT_EQ(moved.FindRow("m", 1), 0);
    EXPECT_EQ(moved.FindRow("k", 1), -1);
    TableData assigned(1);
    assigned = std::move(moved);
    assigned.AppendRows({{"3", "n"}});
    EXPECT_EQ(assigned.FindRow("n", 1), 2);
}

// Random appends, writes, reorders and clears over a small alphabet (so texts
// repeat), each lookup checked against a plain scan.
TEST(TableData, FindRowAgreesWithAScanUnderRandomEdits) {
    std::mt19937 random(20261208);
    const std::vector<std::string> alphabet = {"", "a", "b", "c", "\xC1\xAC", "d"};
    auto pick = [&] { return alphabet[random() % alphabet.size()]; };
    TableData data(2);
    for (int step = 0; step < 3000; ++step) {
        const unsigned action = random() % 20;
        if (action < 8) {
            data.AppendRows({{pick(), pick()}});
        } else if (action < 16 && data.RowCount() > 0) {
            data.SetCell(static_cast<int>(random() % data.RowCount()),
                         static_cast<int>(random() % 2), pick());
        } else if (action < 19) {
            std::vector<int> order(static_cast<std::size_t>(data.RowCount()));
            std::iota(order.begin(), order.end(), 0);
            std::shuffle(order.begin(), order.end(), random);
            data.ReorderRows(order);
        } else if (random() % 10 == 0) {
            data.Clear();
        }
        for (const std::string& text : alphabet) {
            for (int column = 0; column < 2; ++column) {
                ASSERT_EQ(data.FindRow(text, column), ScanFor(data, text, column))
                    << "step " << step << " column " << column << " text '" << text << "'";
            }
        }
    }
}

}  // namespace
}  // namespace mofeng::runtime
