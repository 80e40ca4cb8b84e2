#include <gtest/gtest.h>

#include "app/HistoryRecordingSink.h"
#include "app/HistoryStore.h"
#include "app/HistoryTable.h"
#include "app/SessionStore.h"
#include "columns/KeywordListSchema.h"
#include "query/IndexQueryRun.h"
#include "query/RowOutcome.h"
#include "runtime/CodePage.h"

namespace mofeng::app {
namespace {

Observation Seen(std::string keyword, std::string day, std::string count) {
    Observation o;
    o.keyword = std::move(keyword);
    o.day = std::move(day);
    o.figures = {std::move(count), "10", "9", "1  \xA1\xFC", "3", "0.1"};
    o.outcome = "ok";
    return o;
}

TEST(ListingChange, SignedPercentWithOneDecimalOrNothing) {
    EXPECT_EQ(ListingChangeText("1000", "1032"), "+3.2%");
    EXPECT_EQ(ListingChangeText("1000", "995"), "-0.5%");
    EXPECT_EQ(ListingChangeText("1000", "1000"), "0.0%");
    EXPECT_EQ(ListingChangeText("100000", "99999"), "0.0%");  // rounds to zero: no "-0.0%"
    EXPECT_EQ(ListingChangeText("3", "4"), "+33.3%");
    EXPECT_EQ(ListingChangeText("0", "5"), "");  // no base
    EXPECT_EQ(ListingChangeText("", "5"), "");
    EXPECT_EQ(ListingChangeText("5", "abc"), "");
    EXPECT_EQ(ListingChangeText("-5", "5"), "");
}

TEST(IsoDate, OnlyRealCalendarDays) {
    EXPECT_TRUE(IsIsoDate("2026-12-08"));
    EXPECT_TRUE(IsIsoDate("2024-02-29"));
    EXPECT_FALSE(IsIsoDate("2026-02-29"));
    EXPECT_FALSE(IsIsoDate("1900-02-29"));
    EXPECT_FALSE(IsIsoDate("2026-13-01"));
    EXPECT_FALSE(IsIsoDate("2026-1-08"));
    EXPECT_FALSE(IsIsoDate("2026/12/08"));
}

class HistoryStoreTest : public testing::Test {
protected:
    void SetUp() override {
        m_db = SqliteDatabase::InMemory();
        ASSERT_TRUE(history::MakeUsable(m_db));
    }
    SqliteDatabase m_db;
};

TEST_F(HistoryStoreTest, OnePerKeywordPerDayTheLatestWinsAndEverythingComesBack) {
    const std::string dress = runtime::Utf8ToGbk("连衣裙");
    Observation full = Seen(dress, "2026-12-01", "100");
    full.series = "1,2,3,4,5,6,7";
    full.suggestWeight = "1234.5678";
    full.market = {{runtime::Utf8ToGbk("搜索人气"), "1.2\xCD\xF2"}, {"x", ""}};
    ASSERT_TRUE(history::Record(m_db, {Seen(dress, "2026-12-01", "90"), full}));
    ASSERT_TRUE(
        history::Record(m_db, {Seen(dress, "2026-12-03", "120"), Seen("a", "2026-12-02", "7")}));
    EXPECT_FALSE(history::Record(m_db, {Seen("b", "2026-12-32", "1")}));  // refused whole

    const auto all = history::Read(m_db);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].keyword, "a");  // by keyword bytes, then day
    EXPECT_EQ(all[1], full);
    EXPECT_EQ(all[2].day, "2026-12-03");

    EXPECT_EQ(history::Read(m_db, {dress, std::nullopt}).size(), 2u);
    EXPECT_EQ(history::Read(m_db, {std::nullopt, "2026-12-02"}).size(), 2u);
    EXPECT_EQ(history::ListingBefore(m_db, dress, "2026-12-03"), "100");
    EXPECT_EQ(history::ListingBefore(m_db, dress, "2026-12-01"), std::nullopt);
    EXPECT_EQ(history::Measure(m_db).observations, 3);
    ASSERT_TRUE(history::Clear(m_db));
    EXPECT_TRUE(history::Read(m_db).empty());
}

TEST_F(HistoryStoreTest, TheTableGivesEachDayItsChangeSinceTheLastCountOfItsKeyword) {
    Observation noCount = Seen("k", "2026-12-02", "");
    Observation market = Seen("m", "2026-12-01", "5");
    market.market = {{"mm", "3.45%"}};
    ASSERT_TRUE(history::Record(
        m_db, {Seen("k", "2026-12-01", "1000"), noCount, Seen("k", "2026-12-05", "1032"), market}));
    const HistoryTable table = BuildHistoryTable(history::Read(m_db));
    ASSERT_EQ(table.rows.size(), 4u);
    ASSERT_EQ(table.columns.size(), 13u);  // the market caption appended
    EXPECT_EQ(table.columns[12].first, "mm");
    // The series' own caption, whatever stored columns follow it in the list.
    EXPECT_EQ(table.columns[11].first, columns::Caption(columns::Column::Series));
    EXPECT_EQ(table.rows[0][9], "");
    EXPECT_EQ(table.rows[1][9], "");       // a day without a count has no change...
    EXPECT_EQ(table.rows[2][9], "+3.2%");  // ...and does not break the chain
    EXPECT_EQ(table.rows[3][9], "");       // another keyword starts afresh
    EXPECT_EQ(table.rows[3][12], "3.45%");
    EXPECT_EQ(table.rows[2][12], "");
}

TEST(SessionHistory, ObservationsPostedWithTheSessionAreRecorded) {
    namespace fs = std::filesystem;
    const fs::path path = fs::temp_directory_path() / "mofeng-history-session.sqlite";
    fs::remove(path);
    SessionStore::Opened opened{};
    auto store = SessionStore::OpenSession(path, opened);
    ASSERT_TRUE(store);
    SessionBatch batch;
    batch.observations = {Seen("k", "2026-12-01", "1")};
    ASSERT_FALSE(batch.Empty());
    ASSERT_TRUE(store->Apply(batch));
    EXPECT_EQ(history::Read(store->Database()).size(), 1u);
    store.reset();
    for (const char* suffix : {"", "-wal", "-shm"}) {
        fs::remove(path.string() + suffix);
    }
}

}  // namespace
}  // namespace mofeng::app

namespace mofeng::app {
namespace {

class CollectingSink final : public query::QuerySink {
public:
    void RowResult(runtime::RowId id, int, std::vector<std::string> cells) override {
        seen.emplace_back(id, std::move(cells));
    }
    std::vector<std::pair<runtime::RowId, std::vector<std::string>>> seen;
};

// A recording sink over a session writer of its own database.
class HistoryRecordingSinkTest : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove(m_path);
        SessionStore::Opened opened{};
        m_writer = std::make_unique<SessionWriter>(SessionStore::OpenSession(m_path, opened));
    }
    void TearDown() override {
        m_writer.reset();
        for (const char* suffix : {"", "-wal", "-shm"}) {
            std::filesystem::remove(m_path.string() + suffix);
        }
    }
    // What the database kept once the writer has finished (and closed it:
    // Windows refuses to remove an open file).
    std::vector<Observation> Kept() {
        m_writer->Flush();
        m_writer.reset();
        return history::Read(SqliteDatabase::Open(m_path, SQLITE_OPEN_READONLY));
    }

    const std::filesystem::path m_path =
        std::filesystem::temp_directory_path() / "mofeng-history-sink.sqlite";
    std::unique_ptr<SessionWriter> m_writer;
    CollectingSink m_inner;
    const std::string m_ok{query::RowOutcomeText(query::RowOutcome::Normal)};
    const std::string m_failed{query::RowOutcomeText(query::RowOutcome::Failed)};
};

TEST_F(HistoryRecordingSinkTest, FilesRowsWithFiguresOnTheWriterThreadAndPassesEverythingOn) {
    {
        HistoryRecordingSink sink(m_inner, *m_writer, {{1, "a"}, {2, "b"}, {3, "c"}}, "2026-12-08");
        sink.RowResult(1, query::kFirstMetricColumn, {"5", "1", "1", "0", "5", "0", m_ok, "", ""});
        sink.RowResult(2, query::kFirstMetricColumn, {"", "", "", "", "", "", m_failed, "x", ""});
        sink.RowResult(3, query::kOutcomeColumn, {"", "", ""});  // a stopped run's 未查询
    }
    EXPECT_EQ(m_inner.seen.size(), 3u);
    const auto kept = Kept();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].keyword, "a");
    EXPECT_EQ(kept[0].figures.front(), "5");
    EXPECT_EQ(kept[0].day, "2026-12-08");
}

// The GUI's run: the rows' market figures ride along, and a 联想热度 fetched
// after the figures files the same day's observation again (the latest wins).
TEST_F(HistoryRecordingSinkTest, KeepsTheRowsMarketFiguresAndALaterSuggestWeight) {
    const HistoryRecordingSink::MarketFigures market{{"popularity", "1.2"}};
    {
        HistoryRecordingSink sink(m_inner, *m_writer, {{1, "a"}, {2, "b"}}, "2026-12-08",
                                  {{1, market}});
        sink.RowResult(1, query::kFirstMetricColumn, {"5", "1", "1", "0", "5", "0", m_ok, "", ""});
        sink.RowResult(2, query::kFirstMetricColumn, {"", "", "", "", "", "", m_failed, "x", ""});
        sink.RowResult(1, columns::Index(columns::Column::SuggestWeight), {"718"});
        sink.RowResult(2, columns::Index(columns::Column::SuggestWeight), {"9"});  // no figures
    }
    EXPECT_EQ(m_inner.seen.size(), 4u);
    const auto kept = Kept();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].keyword, "a");
    EXPECT_EQ(kept[0].figures.front(), "5");
    EXPECT_EQ(kept[0].market, market);
    EXPECT_EQ(kept[0].suggestWeight, "718");
}

}  // namespace
}  // namespace mofeng::app
