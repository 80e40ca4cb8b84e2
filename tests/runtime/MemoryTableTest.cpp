#include <gtest/gtest.h>

#include <thread>

#include "runtime/MemoryTable.h"

namespace mofeng::runtime {
namespace {

MemoryTable MakeTable() {
    return MemoryTable({{"#", 40}, {"keyword", 200}, {"count", 80}});
}

TEST(MemoryTable, AppendPadsCutsAndNumbersIds) {
    MemoryTable table = MakeTable();
    EXPECT_EQ(table.AppendRows({}), -1);
    EXPECT_EQ(table.AppendRows({{"1"}, {"2", "b", "c", "extra"}}), 0);
    EXPECT_EQ(table.InsertRow(), 2);
    EXPECT_EQ(table.Rows(), (std::vector<Row>{{"1", "", ""}, {"2", "b", "c"}, {"", "", ""}}));
    EXPECT_EQ(table.RowIds(), (std::vector<RowId>{1, 2, 3}));
    table.SetCell(5, 0, "x");  // out of range: nothing happens
    table.SetCell(0, 3, "x");
    EXPECT_EQ(table.GetCell(0, 3), "");
    EXPECT_EQ(table.Rows()[0], (Row{"1", "", ""}));
}

TEST(MemoryTable, FindRowFollowsEveryWrite) {
    MemoryTable table = MakeTable();
    EXPECT_EQ(table.FindRow("a", 1), -1);  // index built while empty
    table.AppendRows({{"1", "a"}, {"2", "b"}, {"3", "a"}});
    EXPECT_EQ(table.FindRow("a", 1), 0);
    EXPECT_EQ(table.FindRow("", 2), 0);
    table.SetCell(0, 1, "z");
    EXPECT_EQ(table.FindRow("a", 1), 2);
    EXPECT_EQ(table.FindRow("z", 1), 0);
    table.SetCell(2, 1, "q");
    EXPECT_EQ(table.FindRow("a", 1), -1);
    EXPECT_TRUE(table.SetCellsById(table.RowIds()[1], 1, {"a", "9", "dropped"}));
    EXPECT_EQ(table.FindRow("a", 1), 1);
    EXPECT_EQ(table.FindRow("9", 2), 1);
    table.ReorderRows({2, 1, 0});
    EXPECT_EQ(table.FindRow("q", 1), 0);
    EXPECT_EQ(table.FindRow("z", 1), 2);
    EXPECT_EQ(table.FindRow("a", 5), -1);
    table.Clear();
    EXPECT_EQ(table.FindRow("a", 1), -1);
    table.AppendRows({{"1", "a"}});
    EXPECT_EQ(table.FindRow("a", 1), 0);
    EXPECT_EQ(table.FindRow("z", 1), -1);
}

TEST(MemoryTable, IdsMoveWithTextsAndAreNeverReused) {
    MemoryTable table = MakeTable();
    table.AppendRows({{"1", "a"}, {"2", "b"}, {"3", "c"}});
    const std::vector<RowId> ids = table.RowIds();
    table.ReorderRows({1, 2, 0});
    EXPECT_EQ(table.ColumnTexts(1), (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_EQ(table.RowIds(), (std::vector<RowId>{ids[1], ids[2], ids[0]}));
    EXPECT_EQ(table.GetCellById(ids[0], 1), "a");
    EXPECT_TRUE(table.SetCellsById(ids[0], 2, {"5"}));
    EXPECT_EQ(table.GetCell(2, 2), "5");

    for (const auto& bad :
         std::vector<std::vector<int>>{{0, 1}, {0, 0, 1}, {0, 1, 3}, {-1, 0, 1}}) {
        table.ReorderRows(bad);
        EXPECT_EQ(table.ColumnTexts(1), (std::vector<std::string>{"b", "c", "a"}));
    }

    table.Clear();
    EXPECT_EQ(table.GetCellById(ids[0], 1), std::nullopt);
    EXPECT_FALSE(table.SetCellsById(ids[0], 1, {"x"}));
    table.AppendRows({{"1", "new"}});
    EXPECT_EQ(table.RowIds(), (std::vector<RowId>{4}));
    EXPECT_EQ(table.GetCellById(ids[0], 1), std::nullopt);
}

TEST(MemoryTable, ConcurrentAppendsAndReorders) {
    MemoryTable table = MakeTable();
    std::thread appender([&table] {
        for (int i = 0; i < 2000; ++i) {
            table.AppendRows({{std::to_string(i), "k" + std::to_string(i)}});
        }
    });
    std::thread reorderer([&table] {
        for (int i = 0; i < 200; ++i) {
            const int count = table.RowCount();
            std::vector<int> reversed;
            for (int p = count - 1; p >= 0; --p) {
                reversed.push_back(p);
            }
            table.ReorderRows(reversed);  // may be stale: then ignored
            table.FindRow("k1", 1);
        }
    });
    appender.join();
    reorderer.join();
    ASSERT_EQ(table.RowCount(), 2000);
    for (RowId id : table.RowIds()) {
        EXPECT_EQ(table.GetCellById(id, 1), "k" + std::to_string(id - 1));
    }
}

}  // namespace
}  // namespace mofeng::runtime
