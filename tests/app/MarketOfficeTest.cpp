#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "OfficeSuite.h"
#include "TempFile.h"
#include "app/ExportFormats.h"
#include "app/KeywordImport.h"
#include "app/KeywordListColumns.h"
#include "app/MarketCells.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"

namespace mofeng::app {
namespace {

namespace fs = std::filesystem;
using runtime::GbkToUtf8;
using runtime::Utf8ToGbk;

// A seller tool's table (UTF-8): notes, then the caption row; the suite
// keeps every column as text, as the tools write their figures.
constexpr const char* kSellerCsv =
    "搜索分析 统计日期 2024-05-01,,,,\n"
    ",,,,\n"
    "搜索词,搜索人气,点击率,在线商品数,直通车参考价\n"
    "连衣裙,\"12,345\",3.45%,1.2万,1.5~2.5\n"
    "半身裙,3.4亿,-,-,0.8\n";
// Every column as text: "column/2" pairs of the suite's CSV filter.
constexpr const char* kTextColumns = "CSV:44,34,76,1,1/2/2/2/3/2/4/2/5/2";

class MarketOfficeTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!test::HaveOfficeSuite()) {
            return;
        }
        s_folder = fs::temp_directory_path() / ("mofeng-market-" + std::to_string(::getpid()));
        fs::create_directories(s_folder / "xls");
        fs::create_directories(s_folder / "xlsx");
        fs::create_directories(s_folder / "csv");
        std::ofstream(s_folder / "seller.csv") << kSellerCsv;

        // Our own workbook with market figures, read back by the suite as CSV.
        runtime::MemoryTable list(KeywordListStorageColumns());
        runtime::Row row(columns::kColumnCount);
        row[0] = "1";
        row[1] = Utf8ToGbk("连衣裙");
        row[2] = "800";
        MarketRow market;
        market[MarketKind::SearchPopularity] = Utf8ToGbk("1.2万");
        market[MarketKind::ClickRate] = "3.45%";
        market[MarketKind::PayConversion] = "12%";
        market[MarketKind::TradeIndex] = Utf8ToGbk("1万~2万");
        PutMarketRow(row, market);
        list.AppendRows({row});
        const std::vector<int> columns = LeadingAndPresentColumns(list, {0}, 9);
        s_ready =
            ExportRows(s_folder / "own.xlsx", list, {0}, {}, columns) &&
            test::ConvertWithOfficeSuite({s_folder / "seller.csv"}, "xls:MS Excel 97",
                                         s_folder / "xls", kTextColumns) &&
            test::ConvertWithOfficeSuite({s_folder / "seller.csv"}, "xlsx:Calc MS Excel 2007 XML",
                                         s_folder / "xlsx", kTextColumns) &&
            test::ConvertWithOfficeSuite({s_folder / "own.xlsx"},
                                         "csv:Text - txt - csv (StarCalc):44,34,76,1",
                                         s_folder / "csv");
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(s_folder, ignored);
    }
    void SetUp() override {
        if (!test::HaveOfficeSuite()) {
            GTEST_SKIP() << test::kNoOfficeSuite;
        }
        ASSERT_TRUE(s_ready) << "the office suite failed to convert the files";
    }

    static runtime::Row ImportFirstRow(const fs::path& path, int& rowCount) {
        runtime::MemoryTable table(KeywordListStorageColumns());
        const ImportResult result = ImportKeywordFile(path, table, 1, true);
        EXPECT_EQ(result.problem, ImportProblem::None) << path;
        rowCount = table.RowCount();
        return table.RowCount() > 0 ? table.Rows()[0] : runtime::Row{};
    }

    static inline fs::path s_folder;
    static inline bool s_ready = false;
};

TEST_F(MarketOfficeTest, SellerWorkbooksBringTheirFiguresAsShown) {
    for (const fs::path& path :
         {s_folder / "xls" / "seller.xls", s_folder / "xlsx" / "seller.xlsx"}) {
        int rows = 0;
        const MarketRow market = MarketRowOfCells(ImportFirstRow(path, rows));
        EXPECT_EQ(rows, 2) << path;
        EXPECT_EQ(market[MarketKind::SearchPopularity], "12,345") << path;
        EXPECT_EQ(market[MarketKind::ClickRate], "3.45%") << path;
        EXPECT_EQ(GbkToUtf8(market[MarketKind::OnlineListings]), "1.2万") << path;
        EXPECT_EQ(market[MarketKind::AdReferencePrice], "1.5~2.5") << path;
        EXPECT_EQ(market[MarketKind::DemandSupply], "1.03") << path;
    }
}

TEST_F(MarketOfficeTest, OurWorkbookHoldsNumbersAndPercentages) {
    // The suite shows the cells with their formats: a count as a number, a
    // percentage as one, a range as the text it is.
    const std::string csv = test::ReadFile(s_folder / "csv" / "own.csv");
    EXPECT_NE(csv.find(",12000,3.45%,12%,\"1万~2万\""), std::string::npos) << csv;
    // And our own import reads the workbook back the same way.
    int rows = 0;
    const MarketRow market = MarketRowOfCells(ImportFirstRow(s_folder / "own.xlsx", rows));
    EXPECT_EQ(market[MarketKind::SearchPopularity], "12000");
    EXPECT_EQ(market[MarketKind::ClickRate], "3.45%");
    EXPECT_EQ(market[MarketKind::PayConversion], "12%");
}

}  // namespace
}  // namespace mofeng::app
