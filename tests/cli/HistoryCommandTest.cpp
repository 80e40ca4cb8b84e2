#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/HistoryStore.h"
#include "cli/HistoryCommand.h"
#include "cli/OutputText.h"
#include "cli/QueryCommand.h"
#include "runtime/CodePage.h"
#include "sim/Simulator.h"

namespace mofeng::cli {
namespace {

namespace fs = std::filesystem;

using printed::Table;

class HistoryCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_simulator.Start());
        m_folder = fs::temp_directory_path() /
                   ("mofeng-history-test-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        std::ofstream(m_folder / "keywords.txt", std::ios::binary)
            << runtime::Utf8ToGbk("连衣裙\r\n手机壳\r\n");
    }
    void TearDown() override { fs::remove_all(m_folder); }

    int Query(const std::string& day) {
        return Run(RunQueryCommand, {"--search-url", m_simulator.BaseUrl(), "--index-url",
                                     m_simulator.BaseUrl(), "--record", "--db", Db(), "--as-of",
                                     day, (m_folder / "keywords.txt").string()});
    }
    int Run(int (*command)(const std::vector<std::string>&, const CommandStreams&),
            std::vector<std::string> args) {
        m_out.str({});
        m_err.str({});
        return command(args, CommandStreams{m_out, m_err, false});
    }
    std::string Db() const { return (m_folder / "h.sqlite").string(); }

    sim::Simulator m_simulator;
    fs::path m_folder;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(HistoryCommandTest, TwoRecordedRunsOnTwoDaysGiveTwoObservationsAndTheChange) {
    ASSERT_EQ(Query("2026-12-01"), 0) << m_err.str();
    auto first = Table(m_out.str());
    ASSERT_EQ(first.size(), 3u);
    ASSERT_EQ(first[0].back(), "宝贝数量变化");
    EXPECT_EQ(first[2].back(), "");  // nothing observed before
    const std::string count = first[2][2];

    // The first day saw 10% fewer listings of 手机壳 than the simulator shows.
    {
        auto db = app::SqliteDatabase::Open(Db(), SQLITE_OPEN_READWRITE);
        auto day1 = app::history::Read(db, {runtime::Utf8ToGbk("手机壳"), std::nullopt});
        ASSERT_EQ(day1.size(), 1u);
        day1[0].figures[0] = std::to_string(std::stoll(count) * 10 / 11);
        ASSERT_TRUE(app::history::Record(db, day1));
    }
    ASSERT_EQ(Query("2026-12-02"), 0) << m_err.str();
    auto second = Table(m_out.str());
    EXPECT_EQ(second[2].back(), "+10.0%");

    ASSERT_EQ(Run(RunHistoryCommand, {"--db", Db()}), 0) << m_err.str();
    auto all = Table(m_out.str());
    ASSERT_EQ(all.size(), 5u);  // header + 2 keywords x 2 days
    EXPECT_EQ(all[0][0], "日期");
    EXPECT_EQ(all[0][9], "宝贝数量变化");
    ASSERT_EQ(
        Run(RunHistoryCommand, {"--db", Db(), "--keyword", "手机壳", "--since", "2026-12-02"}), 0);
    auto one = Table(m_out.str());
    ASSERT_EQ(one.size(), 2u);
    EXPECT_EQ(one[1][0], "2026-12-02");
    EXPECT_EQ(one[1][1], "手机壳");
    EXPECT_EQ(one[1][2], count);
    EXPECT_EQ(one[1][9], "+10.0%");

    // Recording again on the same day replaces that day's observation.
    ASSERT_EQ(Query("2026-12-02"), 0);
    ASSERT_EQ(Run(RunHistoryCommand, {"--db", Db()}), 0);
    EXPECT_EQ(Table(m_out.str()).size(), 5u);

    const fs::path csv = m_folder / "h.csv";
    ASSERT_EQ(Run(RunHistoryCommand, {"--db", Db(), "--out", csv.string()}), 0);
    EXPECT_TRUE(fs::file_size(csv) > 0);
}

TEST_F(HistoryCommandTest, SuggestWeightIsTheLastColumnRoundedAndRecordedAsGiven) {
    sim::Simulator simulator(sim::SimulatorOptions{.seed = 3, .suggestSelf = true});
    ASSERT_TRUE(simulator.Start());
    ASSERT_EQ(Run(RunQueryCommand,
                  {"--search-url", simulator.BaseUrl(), "--index-url", simulator.BaseUrl(),
                   "--suggest-url", simulator.BaseUrl(), "--suggest-weight", "--record", "--db",
                   Db(), "--as-of", "2026-12-01", (m_folder / "keywords.txt").string()}),
              0)
        << m_err.str();
    const auto rows = Table(m_out.str());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].back(), "联想热度");
    EXPECT_EQ(rows[0][rows[0].size() - 2], "宝贝数量变化");
    const std::string weight = simulator.Data().SuggestWeight("手机壳");
    EXPECT_EQ(rows[2].back(), std::to_string(std::llround(std::stod(weight))));

    auto db = app::SqliteDatabase::Open(Db(), SQLITE_OPEN_READONLY);
    const auto kept = app::history::Read(db, {runtime::Utf8ToGbk("手机壳"), std::nullopt});
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].suggestWeight, weight);
}

TEST_F(HistoryCommandTest, RefusesBadDatesAndFormatsAndReadsAnAbsentDatabaseAsEmpty) {
    EXPECT_EQ(Query("2026-02-30"), kExitUsage);
    EXPECT_FALSE(fs::exists(Db()));
    EXPECT_EQ(Run(RunQueryCommand, {"--db", Db(), "x.txt"}), kExitUsage);  // --db without --record
    EXPECT_EQ(Run(RunHistoryCommand, {"--since", "yesterday"}), kExitUsage);
    EXPECT_EQ(Run(RunHistoryCommand, {"--out", "h.xls"}), kExitUsage);
    ASSERT_EQ(Run(RunHistoryCommand, {"--db", Db()}), 0);
    EXPECT_EQ(Table(m_out.str()).size(), 1u);  // the captions alone
    EXPECT_FALSE(fs::exists(Db()));
}

}  // namespace
}  // namespace mofeng::cli
