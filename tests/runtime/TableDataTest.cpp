#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "runtime/TableData.h"

namespace mofeng::runtime {
namespace {

// Every row holding text in column, top to bottom.
std::vector<int> ScanAll(const TableData& data, std::string_view text, int column) {
    std::vector<int> rows;
    for (int row = 0; row < data.RowCount(); ++row) {
        if (data.Cell(row, column) == text) {
            rows.push_back(row);
        }
    }
    return rows;
}

int ScanFor(const TableData& data, std::string_view text, int column) {
    const std::vector<int> rows = ScanAll(data, text, column);
    return rows.empty() ? -1 : rows.front();
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
// repeat), each lookup (the topmost row and every row) checked against a
// plain scan.
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
                ASSERT_EQ(data.FindRows(text, column), ScanAll(data, text, column));
            }
        }
    }
}

std::vector<std::string> Column0(const TableData& data) {
    return data.ColumnTexts(0);
}

TEST(TableData, RemovedRowsComeBackWhereTheyWere) {
    struct Case {
        const char* name;
        std::vector<int> remove;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {"first and last", {0, 4}, {"b", "c", "d"}},
        {"unordered with repeats and strays", {3, 1, 3, -1, 9}, {"a", "c", "e"}},
        {"every row", {4, 3, 2, 1, 0}, {}},
        {"nothing", {}, {"a", "b", "c", "d", "e"}},
    };
    for (const Case& c : cases) {
        TableData data(2);
        data.AppendRows({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}});
        const std::vector<RowId> before = data.RowIds();
        ASSERT_EQ(data.FindRow("c", 0), 2);  // builds an index the removal must drop
        std::vector<int> positions = c.remove;
        std::sort(positions.begin(), positions.end());
        positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
        std::erase_if(positions, [](int p) { return p < 0 || p >= 5; });
        std::vector<Row> taken;
        for (int p : positions) {
            taken.push_back({data.Cell(p, 0), data.Cell(p, 1)});
        }

        const std::vector<RowId> removed = data.RemoveRows(c.remove);
        EXPECT_EQ(Column0(data), c.left) << c.name;
        ASSERT_EQ(removed.size(), positions.size()) << c.name;
        for (std::size_t i = 0; i < removed.size(); ++i) {
            EXPECT_EQ(removed[i], before[positions[i]]) << c.name;
            EXPECT_EQ(data.RowOfId(removed[i]), -1) << c.name;
        }
        for (int row = 0; row < data.RowCount(); ++row) {
            EXPECT_EQ(data.RowOfId(data.IdOfRow(row)), row) << c.name;
            EXPECT_EQ(data.FindRow(data.Cell(row, 0), 0), row) << c.name;
        }
        EXPECT_EQ(data.FindRow("c", 0), ScanFor(data, "c", 0)) << c.name;

        if (positions.empty()) {
            continue;
        }
        const std::vector<RowId> back = data.InsertRows(positions, std::move(taken));
        EXPECT_EQ(Column0(data), (std::vector<std::string>{"a", "b", "c", "d", "e"})) << c.name;
        EXPECT_EQ(data.Cell(4, 1), "5") << c.name;
        ASSERT_EQ(back.size(), positions.size()) << c.name;
        for (std::size_t i = 0; i < back.size(); ++i) {
            EXPECT_EQ(data.RowOfId(back[i]), positions[i]) << c.name;  // fresh ids, found
            EXPECT_EQ(std::count(before.begin(), before.end(), back[i]), 0) << c.name;
        }
        for (int row = 0; row < data.RowCount(); ++row) {
            EXPECT_EQ(data.FindRow(data.Cell(row, 0), 0), row) << c.name;
        }
    }
}

TEST(TableData, InsertRowsRefusesPositionsThatDoNotAscend) {
    TableData data(1);
    data.AppendRows({{"a"}, {"b"}});
    const std::vector<std::vector<int>> refused = {{1, 1}, {2, 0}, {-1, 0}, {0}};
    for (const auto& positions : refused) {
        EXPECT_TRUE(data.InsertRows(positions, {{"x"}, {"y"}}).empty());
    }
    EXPECT_EQ(Column0(data), (std::vector<std::string>{"a", "b"}));
    // Past the end: appended, padded to the column count.
    ASSERT_EQ(data.InsertRows({1, 7}, {{"x"}, {"y", "cut"}}).size(), 2u);
    EXPECT_EQ(Column0(data), (std::vector<std::string>{"a", "x", "b", "y"}));
}

TEST(TableData, RemovalAfterAClearKeepsIdsApart) {
    TableData data(1);
    data.AppendRows({{"old"}});
    const RowId old = data.IdOfRow(0);
    data.Clear();
    data.AppendRows({{"a"}, {"b"}, {"c"}});
    data.RemoveRows({1});
    EXPECT_EQ(data.RowOfId(old), -1);
    EXPECT_EQ(data.RowOfId(data.IdOfRow(1)), 1);
    const std::vector<RowId> back = data.InsertRows({1}, {{"b"}});
    EXPECT_EQ(data.RowOfId(back[0]), 1);
    EXPECT_EQ(data.RowOfId(data.IdOfRow(2)), 2);
}

}  // namespace
}  // namespace mofeng::runtime
