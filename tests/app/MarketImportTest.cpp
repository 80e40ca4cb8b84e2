#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TempFile.h"
#include "app/ClipboardText.h"
#include "app/KeywordImport.h"
#include "app/KeywordListColumns.h"
#include "app/MarketCells.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"

namespace mofeng::app {
namespace {

using runtime::GbkToUtf8;
using runtime::Utf8ToGbk;
using test::TempFile;

constexpr int kKeyword = columns::Index(columns::Column::Keyword);
constexpr int kListingCount = columns::Index(columns::Column::ListingCount);

int MarketCell(MarketKind kind) {
    return columns::Index(columns::MarketColumn(static_cast<std::size_t>(kind)));
}

// A table as the seller's data tools give it: notes first, then the caption
// row, figures with 万/亿/%, ranges and "-".
constexpr const char* kSellerTableCsv =
    "\xEF\xBB\xBF"
    "统计时间 2024-05-01 ~ 2024-05-07,,,,,\r\n"
    "说明：数据已做指数化处理,,,,,\r\n"
    ",,,,,\r\n"
    "搜索词,搜索人气,点击率,在线商品数,支付转化率,天猫商品点击占比\r\n"
    "连衣裙,\"12,345\",3.45%,1.2万,1万~2万,-\r\n"
    "半身裙,3.4亿,0.5%,-,-,40.1%\r\n"
    "衬衫,-,-,-,-,-\r\n";

std::string Market(runtime::MemoryTable& table, int row, MarketKind kind) {
    return GbkToUtf8(table.GetCell(row, MarketCell(kind)));
}

void ImportInto(runtime::MemoryTable& table, const std::string& bytes, const char* extension) {
    const TempFile file;
    const std::filesystem::path path = file.Path().string() + extension;
    {
        std::ofstream out(path, std::ios::binary);
        out << bytes;
    }
    const ImportRowsSink append = [&table](std::vector<runtime::Row> rows) {
        MergeMarketRows(table, rows, kKeyword);
        return rows.empty() || table.AppendRows(std::move(rows)) >= 0;
    };
    const ImportResult result = ImportKeywordFile(path, append, kKeyword, true);
    std::filesystem::remove(path);
    EXPECT_TRUE(result.opened);
    EXPECT_EQ(result.problem, ImportProblem::None);
}

void ExpectSellerFigures(runtime::MemoryTable& table) {
    ASSERT_EQ(table.RowCount(), 3);
    EXPECT_EQ(GbkToUtf8(table.GetCell(0, kKeyword)), "连衣裙");
    // Kept as the table shows them, ranges too; "-" is blank.
    EXPECT_EQ(Market(table, 0, MarketKind::SearchPopularity), "12,345");
    EXPECT_EQ(Market(table, 0, MarketKind::ClickRate), "3.45%");
    EXPECT_EQ(Market(table, 0, MarketKind::OnlineListings), "1.2万");
    EXPECT_EQ(Market(table, 0, MarketKind::PayConversion), "1万~2万");
    EXPECT_EQ(Market(table, 0, MarketKind::MallClickShare), "");
    EXPECT_EQ(Market(table, 1, MarketKind::MallClickShare), "40.1%");  // 天猫商品点击占比
    // 需求供给比 from the table's own 在线商品数; none without it.
    EXPECT_EQ(Market(table, 0, MarketKind::DemandSupply), "1.03");
    EXPECT_EQ(Market(table, 1, MarketKind::DemandSupply), "");
    EXPECT_TRUE(MarketRowOfCells(table.Rows()[2]).Empty());
    EXPECT_EQ(PresentOptionalColumns(table, {0, 1, 2}).size(), 6u);
}

TEST(MarketImport, CsvAndTsvOfASellerTableBringTheirFigures) {
    const std::string csv = kSellerTableCsv;
    runtime::MemoryTable fromCsv(KeywordListStorageColumns());
    ImportInto(fromCsv, csv, ".csv");
    ExpectSellerFigures(fromCsv);

    std::string tsv = Utf8ToGbk(csv.substr(3));
    for (std::size_t at = 0; (at = tsv.find(',', at)) != std::string::npos;) {
        tsv[at] = '\t';
    }
    const std::string quoted = "\"12\t345\"";  // the comma of 12,345 came back as a tab
    tsv.replace(tsv.find(quoted), quoted.size(), "12,345");
    runtime::MemoryTable fromTsv(KeywordListStorageColumns());
    ImportInto(fromTsv, tsv, ".tsv");
    ExpectSellerFigures(fromTsv);
}

TEST(MarketImport, AKeywordAlreadyListedGetsTheFiguresOnItsRow) {
    runtime::MemoryTable table(KeywordListStorageColumns());
    runtime::Row listed(columns::kColumnCount);
    listed[0] = "1";
    listed[kKeyword] = Utf8ToGbk("半身裙");
    listed[kListingCount] = "1000";
    listed[static_cast<std::size_t>(MarketCell(MarketKind::PayingBuyers))] = "77";
    listed[static_cast<std::size_t>(MarketCell(MarketKind::ClickRate))] = "9%";
    table.AppendRows({listed});

    runtime::MemoryTable& merged = table;
    ImportInto(merged, kSellerTableCsv, ".csv");
    // 半身裙 stays one row: the new figures on it, a blank leaving the old one.
    ASSERT_EQ(merged.RowCount(), 3);
    EXPECT_EQ(GbkToUtf8(merged.GetCell(0, kKeyword)), "半身裙");
    EXPECT_EQ(merged.GetCell(0, 0), "1");
    EXPECT_EQ(Market(merged, 0, MarketKind::ClickRate), "0.5%");
    EXPECT_EQ(Market(merged, 0, MarketKind::PayingBuyers), "77");
    // No 在线商品数: 需求供给比 from our 宝贝数量, marked as ours.
    EXPECT_EQ(Market(merged, 0, MarketKind::DemandSupply), "340000.00");
    EXPECT_TRUE(MarketRowOfCells(merged.Rows()[0]).demandSupplyFromOurCount);
    EXPECT_EQ(GbkToUtf8(merged.GetCell(1, kKeyword)), "连衣裙");

    // A query that fills 宝贝数量 later changes our ratio, not the table's.
    runtime::Row row = merged.Rows()[0];
    row[kListingCount] = "2000";
    EXPECT_TRUE(RefreshDemandSupply(row));
    EXPECT_EQ(GbkToUtf8(row[static_cast<std::size_t>(MarketCell(MarketKind::DemandSupply))]),
              "170000.00");
    runtime::Row theirs = merged.Rows()[1];
    theirs[kListingCount] = "5";
    EXPECT_FALSE(RefreshDemandSupply(theirs));

    // The same keyword twice in one table: one row, the later figures win.
    runtime::MemoryTable twice(KeywordListStorageColumns());
    ImportInto(twice, "搜索词,搜索人气,点击率\n裙子,100,1%\n裙子,200,\n", ".csv");
    ASSERT_EQ(twice.RowCount(), 1);
    EXPECT_EQ(Market(twice, 0, MarketKind::SearchPopularity), "200");
    EXPECT_EQ(Market(twice, 0, MarketKind::ClickRate), "1%");
}

TEST(MarketImport, PlainKeywordsStillAddRowsForKeywordsAlreadyListed) {
    runtime::MemoryTable table(KeywordListStorageColumns());
    table.AppendRows({runtime::Row{"1", "a"}});
    ImportInto(table, "a\nb\n", ".txt");
    EXPECT_EQ(table.RowCount(), 3);
}

TEST(MarketImport, PastedSellerTableKeepsItsFigures) {
    // As a browser copies the tool's table: notes, caption row, tab-separated.
    const std::string pasted = Utf8ToGbk(
        "搜索分析\r\n"
        "关键词\t搜索人气\t点击人气\t在线商品数\r\n"
        "连衣裙\t1.2万\t3,400\t600\r\n"
        "\t\t\t\r\n"
        "T恤\t-\t1万~2万\t-\r\n");
    const std::vector<PastedMarketRow> rows = PastedMarketRows(pasted);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(GbkToUtf8(rows[0].keyword), "连衣裙");
    EXPECT_EQ(GbkToUtf8(rows[0].market[MarketKind::SearchPopularity]), "1.2万");
    EXPECT_EQ(rows[0].market[MarketKind::ClickPopularity], "3,400");
    EXPECT_EQ(rows[0].market[MarketKind::DemandSupply], "20.00");
    EXPECT_EQ(rows[1].market[MarketKind::SearchPopularity], "");
    EXPECT_EQ(GbkToUtf8(rows[1].market[MarketKind::ClickPopularity]), "1万~2万");
    // Copied cells without market captions are keywords only.
    EXPECT_TRUE(PastedMarketRows(Utf8ToGbk("关键词\t宝贝数量\r\na\t5\r\n")).empty());
    EXPECT_TRUE(PastedMarketRows("a\r\nb\r\n").empty());
}

TEST(MarketCells, SortKeysReadTheMiddleOfAFigure) {
    const int rate = MarketCell(MarketKind::ClickRate);
    EXPECT_EQ(SortKeyText(rate, "3.45%"), "3.45");
    EXPECT_EQ(SortKeyText(rate, Utf8ToGbk("1万~2万")), "15000");
    EXPECT_EQ(SortKeyText(rate, "-"), "");
    const int change = columns::Index(columns::Column::ListingChange);
    EXPECT_EQ(SortKeyText(change, "+3.2%"), "3.2");
    EXPECT_EQ(SortKeyText(change, "-0.5%"), "-0.5");
    // Other columns keep their text.
    EXPECT_EQ(SortKeyText(kListingCount, "1.2"), "1.2");
}

}  // namespace
}  // namespace mofeng::app
