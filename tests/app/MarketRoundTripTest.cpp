#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TempFile.h"
#include "app/ClipboardText.h"
#include "app/ExportFormats.h"
#include "app/KeywordImport.h"
#include "app/KeywordListColumns.h"
#include "app/ListFile.h"
#include "app/MarketCells.h"
#include "app/SessionStore.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"

namespace mofeng::app {
namespace {

namespace fs = std::filesystem;
using runtime::GbkToUtf8;
using runtime::Row;
using runtime::Utf8ToGbk;

constexpr int kFiguresTime = columns::Index(columns::Column::FiguresTime);
constexpr int kSuggestWeight = columns::Index(columns::Column::SuggestWeight);

Row MarketListRow() {
    Row row(columns::kColumnCount);
    row[0] = "1";
    row[1] = Utf8ToGbk("连衣裙");
    row[2] = "800";
    row[8] = Utf8ToGbk("正常");
    row[kFiguresTime] = "1714521600";
    MarketRow market;
    market[MarketKind::SearchPopularity] = Utf8ToGbk("1.2万");
    market[MarketKind::ClickRate] = "3.45%";
    market[MarketKind::TradeIndex] = Utf8ToGbk("1万~2万");
    market[MarketKind::AdReferencePrice] = "0.85";
    CompleteDemandSupply(market, row[2]);
    PutMarketRow(row, market);
    row[kSuggestWeight] = "718827";
    return row;
}

// A row saved before the optional columns: twelve cells.
Row OlderRow() {
    Row row = {"2", Utf8ToGbk("半身裙"), "5", "", "",          "", "",
               "",  Utf8ToGbk("正常"),   "",  "", "1714521601"};
    return row;
}

// Loaded rows as the list takes them: padded to the storage width.
std::vector<Row> AsListed(std::vector<Row> rows) {
    runtime::MemoryTable table(KeywordListStorageColumns());
    table.AppendRows(std::move(rows));
    return table.Rows();
}

void ExpectBothRows(const std::vector<Row>& loaded) {
    const std::vector<Row> listed = AsListed(loaded);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0], MarketListRow());
    // The older row's cells stay where they were; it has no market figures.
    EXPECT_EQ(listed[1][kFiguresTime], "1714521601");
    EXPECT_EQ(GbkToUtf8(listed[1][1]), "半身裙");
    EXPECT_TRUE(MarketRowOfCells(listed[1]).Empty());
    EXPECT_EQ(listed[1][kSuggestWeight], "");
}

TEST(MarketRoundTrip, SessionAndListFileKeepTheMarketCellsAndOpenOlderRows) {
    const test::TempFile file;
    ASSERT_TRUE(SaveListFile(file.Path(), {MarketListRow(), OlderRow()}));
    std::vector<Row> loaded;
    ASSERT_TRUE(LoadListFile(file.Path(), loaded));
    ExpectBothRows(loaded);
    // The demand ratio computed from our count keeps its mark.
    EXPECT_TRUE(MarketRowOfCells(loaded[0]).demandSupplyFromOurCount);

    const test::TempFile session;
    SessionStore::Opened opened{};
    {
        auto store = SessionStore::OpenSession(session.Path(), opened);
        ASSERT_TRUE(store);
        SessionBatch batch;
        batch.rows = {{kSessionMainList, 1, 0, MarketListRow()},
                      {kSessionMainList, 2, 1, OlderRow()}};
        ASSERT_TRUE(store->Apply(batch));
    }
    auto store = SessionStore::OpenSession(session.Path(), opened);
    ASSERT_TRUE(store);
    EXPECT_EQ(opened, SessionStore::Opened::Existing);
    ExpectBothRows(store->LoadList(kSessionMainList));
    store.reset();
    std::error_code ignored;
    for (const char* suffix : {"-wal", "-shm"}) {
        fs::remove(session.Path().string() + suffix, ignored);
    }
}

class MarketExportTest : public testing::Test {
protected:
    void SetUp() override { m_table.AppendRows({MarketListRow(), OlderRow()}); }

    // Exports both rows as the list does (the eight, 状态, the columns
    // present) and imports the file into a new list.
    std::vector<Row> ExportAndImport(const char* extension) {
        const fs::path path = m_file.Path().string() + extension;
        const std::vector<int> columns = LeadingAndPresentColumns(m_table, {0, 1}, 9);
        EXPECT_TRUE(
            ExportRows(path, m_table, {0, 1}, InitialWidths(KeywordListColumns()), columns));
        runtime::MemoryTable back(KeywordListStorageColumns());
        EXPECT_EQ(ImportKeywordFile(path, back, 1, false).problem, ImportProblem::None);
        fs::remove(path);
        return back.Rows();
    }

    runtime::MemoryTable m_table{KeywordListStorageColumns()};
    const test::TempFile m_file;
};

TEST_F(MarketExportTest, CsvKeepsTheFiguresAsShown) {
    const std::vector<Row> back = ExportAndImport(".csv");
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(MarketRowOfCells(back[0]).values, MarketRowOfCells(MarketListRow()).values);
    EXPECT_EQ(back[0][kSuggestWeight], "718827");
    EXPECT_TRUE(MarketRowOfCells(back[1]).Empty());
}

TEST_F(MarketExportTest, XlsxKeepsTheFiguresAsNumbersAndPercentages) {
    const std::vector<Row> back = ExportAndImport(".xlsx");
    ASSERT_EQ(back.size(), 2u);
    const MarketRow market = MarketRowOfCells(back[0]);
    EXPECT_EQ(market[MarketKind::SearchPopularity], "12000");
    EXPECT_EQ(market[MarketKind::ClickRate], "3.45%");
    EXPECT_EQ(GbkToUtf8(market[MarketKind::TradeIndex]), "1万~2万");  // a range stays text
    EXPECT_EQ(market[MarketKind::AdReferencePrice], "0.85");
    EXPECT_EQ(market[MarketKind::DemandSupply], "15");  // "15.00" went in as a number
    EXPECT_EQ(back[0][kSuggestWeight], "718827");
}

TEST_F(MarketExportTest, XlsStaysTheEightColumnsAndCopiesCarryThePresentOnes) {
    const fs::path path = m_file.Path().string() + ".xls";
    const std::vector<int> columns = LeadingAndPresentColumns(m_table, {0, 1}, 9);
    const std::vector<int> widths = InitialWidths(KeywordListColumns());
    ASSERT_TRUE(ExportRows(path, m_table, {0, 1}, widths, columns));
    {
        const test::TempFile eight;
        const fs::path eightPath = eight.Path().string() + ".xls";
        ASSERT_TRUE(ExportRows(eightPath, m_table, {0, 1}, widths, columns::kExportedColumnCount));
        std::ifstream a(path, std::ios::binary);
        std::ifstream b(eightPath, std::ios::binary);
        const std::string withMarket{std::istreambuf_iterator<char>(a), {}};
        const std::string plain{std::istreambuf_iterator<char>(b), {}};
        EXPECT_EQ(withMarket, plain);
        b.close();  // Windows removes no file that is open
        fs::remove(eightPath);
    }
    fs::remove(path);

    // Ctrl+C: the eight, then the market columns the copied rows hold.
    const std::string copied =
        GbkToUtf8(CopiedRowsText(m_table, {0}, LeadingAndPresentColumns(m_table, {0}, 8)));
    EXPECT_EQ(copied.substr(0, copied.find("\r\n")),
              "序号\t关键词\t宝贝数量\t昨日搜索指数\t7天平均指数\t指数趋势\t竞争倍数\t趋势比(斜率)"
              "\t搜索人气\t点击率\t交易指数\t直通车参考价\t需求供给比\t联想热度");
    EXPECT_NE(copied.find("\t1.2万\t3.45%\t1万~2万\t0.85\t15.00\t718827\r\n"), std::string::npos)
        << copied;
}

}  // namespace
}  // namespace mofeng::app
