#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/HistoryStore.h"
#include "app/KeywordImport.h"
#include "app/KeywordListColumns.h"
#include "app/MarketCells.h"
#include "cli/OutputText.h"
#include "cli/QueryCommand.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"
#include "runtime/NumberOps.h"
#include "sim/Simulator.h"

namespace mofeng::cli {
namespace {

namespace fs = std::filesystem;

using printed::Table;

class QueryMarketTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_simulator.Start());
        m_folder = fs::temp_directory_path() / ("mofeng-market-cli-" + std::to_string(::getpid()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        // A seller tool's table: notes, the caption row, figures as it writes them.
        std::ofstream(m_folder / "seller.csv", std::ios::binary)
            << "\xEF\xBB\xBF搜索词排行 2026-12-01,,,,\r\n"
               "搜索词,交易指数,点击率,搜索人气,直通车参考价\r\n"
               "连衣裙,1万~2万,3.45%,1.2万,-\r\n"
               "手机壳,\"12,345\",-,-,0.85\r\n";
    }
    void TearDown() override { fs::remove_all(m_folder); }

    int Query(std::vector<std::string> more) {
        std::vector<std::string> args = {"--search-url",  m_simulator.BaseUrl(),
                                         "--index-url",   m_simulator.BaseUrl(),
                                         "--suggest-url", m_simulator.BaseUrl()};
        args.insert(args.end(), more.begin(), more.end());
        args.push_back((m_folder / "seller.csv").string());
        m_out.str({});
        m_err.str({});
        return RunQueryCommand(args, CommandStreams{m_out, m_err, false});
    }

    sim::Simulator m_simulator{sim::SimulatorOptions{.seed = 3, .suggestSelf = true}};
    fs::path m_folder;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(QueryMarketTest, TheTableWritesTheMarketColumnsInKindOrderAsPlainDecimals) {
    const std::string db = (m_folder / "h.sqlite").string();
    ASSERT_EQ(Query({"--record", "--db", db, "--as-of", "2026-12-01", "--suggest-weight"}), 0)
        << m_err.str();
    const auto rows = Table(m_out.str());
    ASSERT_EQ(rows.size(), 3u);
    const std::vector<std::string> tail(rows[0].begin() + 8, rows[0].end());
    // 需求供给比 is there too: computed from the 宝贝数量 the run found.
    EXPECT_EQ(tail,
              (std::vector<std::string>{"状态", "搜索人气", "点击率", "交易指数", "直通车参考价",
                                        "需求供给比", "宝贝数量变化", "联想热度"}));
    const auto& dress = rows[1];
    ASSERT_EQ(dress.size(), rows[0].size());
    EXPECT_EQ(dress[9], "12000");
    EXPECT_EQ(dress[10], "3.45%");
    EXPECT_EQ(dress[11], "10000~20000");
    EXPECT_EQ(dress[12], "");
    const double count = std::stod(dress[2]);
    EXPECT_EQ(dress[13], runtime::FormatNumber(12000 / count, 2));
    EXPECT_EQ(dress[15],
              std::to_string(std::llround(std::stod(m_simulator.Data().SuggestWeight("连衣裙")))));
    EXPECT_EQ(rows[2][11], "12345");
    EXPECT_EQ(rows[2][12], "0.85");
    EXPECT_EQ(rows[2][13], "");  // no 搜索人气

    // The day's observation keeps the figures as the table showed them.
    auto database = app::SqliteDatabase::Open(db, SQLITE_OPEN_READONLY);
    const auto kept = app::history::Read(database, {runtime::Utf8ToGbk("连衣裙"), std::nullopt});
    ASSERT_EQ(kept.size(), 1u);
    ASSERT_EQ(kept[0].market.size(), 4u);
    EXPECT_EQ(runtime::GbkToUtf8(kept[0].market[0].second), "1.2万");
}

TEST_F(QueryMarketTest, OutFilesCarryTheMarketColumnsButTheXlsStaysEight) {
    const fs::path xlsx = m_folder / "out.xlsx";
    ASSERT_EQ(Query({"--out", xlsx.string()}), 0) << m_err.str();
    runtime::MemoryTable back(app::KeywordListStorageColumns());
    ASSERT_EQ(app::ImportKeywordFile(xlsx, back, 1, false).problem, app::ImportProblem::None);
    ASSERT_EQ(back.RowCount(), 2);
    const app::MarketRow market = app::MarketRowOfCells(back.Rows()[0]);
    EXPECT_EQ(market[app::MarketKind::SearchPopularity], "12000");
    EXPECT_EQ(market[app::MarketKind::ClickRate], "3.45%");
    EXPECT_FALSE(market[app::MarketKind::DemandSupply].empty());

    const fs::path xls = m_folder / "out.xls";
    ASSERT_EQ(Query({"--out", xls.string()}), 0) << m_err.str();
    std::ifstream in(xls, std::ios::binary);
    const std::string document{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(document.find(runtime::Utf8ToGbk("搜索人气")), std::string::npos);
    EXPECT_NE(document.find(runtime::Utf8ToGbk("趋势比(斜率)")), std::string::npos);
}

}  // namespace
}  // namespace mofeng::cli
