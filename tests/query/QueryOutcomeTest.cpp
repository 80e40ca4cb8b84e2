#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "app/KeywordListColumns.h"
#include "net/LocalHttpServer.h"
#include "query/IndexQueryRun.h"
#include "query/QueryRunFixture.h"
#include "query/RowsWithoutTime.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"
#include "sim/Simulator.h"

namespace mofeng::query {
namespace {

using namespace std::chrono_literals;

constexpr const char* kSeriesJson =
    R"({"data":[1,100,110,121,133,146,161,177,0],"lastdate":"2024-01-01"})";
constexpr const char* kSearchPage = R"(g_page_config = {"totalHits":"5000","x":1};)";

class QueryOutcome : public QueryRunFixture {
protected:
    QueryOutcome() : QueryRunFixture(StallAfter(300ms)) {}

    static net::EndpointConfig At(const std::string& base) {
        net::EndpointConfig config;
        config.searchBase = config.indexBase = config.suggestBase = base;
        return config;
    }
    static void Fill(runtime::MemoryTable& table, const std::vector<std::string>& keywords) {
        std::vector<runtime::Row> rows;
        for (std::size_t i = 0; i < keywords.size(); ++i) {
            rows.push_back({std::to_string(i + 1), keywords[i]});
        }
        table.AppendRows(std::move(rows));
    }
    static runtime::MemoryTable StoredTable() {
        return runtime::MemoryTable(app::KeywordListStorageColumns());
    }
};

// The keyword names what each endpoint does: "<trend>-<search>", each one of
// ok, none (a reply without the value), fail (503), blocked (login redirect).
void CraftedRoutes(httplib::Server& routes) {
    auto behaviour = [](const httplib::Request& req, int part) {
        const std::string keyword =
            req.has_param("q") ? req.get_param_value("q") : req.get_param_value("query");
        const std::size_t dash = keyword.find('-');
        return part == 0 ? keyword.substr(0, dash) : keyword.substr(dash + 1);
    };
    auto answer = [](const std::string& how, const std::string& body, httplib::Response& res) {
        if (how == "ok") {
            res.set_content(body, "text/plain");
        } else if (how == "none") {
            res.set_content("{}", "text/plain");
        } else if (how == "fail") {
            res.status = 503;
            res.set_header("Retry-After", "0");
            res.set_content("busy", "text/html");
        } else {
            res.set_redirect("/member/login.jhtml");
        }
    };
    routes.Get("/trendindex.json", [=](const httplib::Request& req, httplib::Response& res) {
        answer(behaviour(req, 0), kSeriesJson, res);
    });
    routes.Get("/search", [=](const httplib::Request& req, httplib::Response& res) {
        answer(behaviour(req, 1), kSearchPage, res);
    });
    routes.Get("/member/login.jhtml", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("please log in", "text/html");
    });
}

TEST_F(QueryOutcome, EachRowGetsTheWorseOutcomeAndFailedCellsStayEmpty) {
    net::test::LocalHttpServer server(CraftedRoutes);
    const struct {
        const char* keyword;
        RowOutcome outcome;
        runtime::Row cells;  // columns 2..7
        bool reason;
    } cases[] = {
        {"ok-ok", RowOutcome::Normal, {"5000", "177", "135", "42  \xA1\xFC", "270", "0.5"}, false},
        {"none-ok", RowOutcome::NoData, {"5000", "", "0", "0  --", "0", "-nan"}, false},
        {"ok-none", RowOutcome::NoData, {"0", "177", "135", "42  \xA1\xFC", "inf", "0.5"}, false},
        {"fail-ok", RowOutcome::Failed, {"5000", "", "", "", "", ""}, true},
        {"ok-fail", RowOutcome::Failed, {"", "177", "135", "42  \xA1\xFC", "", "0.5"}, true},
        {"ok-blocked", RowOutcome::Blocked, {"", "177", "135", "42  \xA1\xFC", "", "0.5"}, true},
        {"fail-blocked", RowOutcome::Blocked, {"", "", "", "", "", ""}, true},
    };
    runtime::MemoryTable table = StoredTable();
    std::vector<std::string> keywords;
    for (const auto& c : cases) {
        keywords.push_back(c.keyword);
    }
    Fill(table, keywords);
    runtime::CancelToken cancel;
    const QuerySummary summary = IndexQueryRun(At(server.Url("")), table, cancel);
    const std::vector<runtime::Row> rows = table.Rows();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].keyword);
        const runtime::Row& row = rows[i];
        EXPECT_EQ(runtime::Row(row.begin() + 2, row.begin() + 8), cases[i].cells);
        EXPECT_EQ(row[kOutcomeColumn], Text(cases[i].outcome));
        EXPECT_EQ(!row[kReasonColumn].empty(), cases[i].reason) << row[kReasonColumn];
    }
    EXPECT_EQ(rows[0][kSeriesColumn], "100,110,121,133,146,161,177");
    EXPECT_EQ(rows[1][kSeriesColumn], "");
    // 服务器返回 503，已重试 2 次
    EXPECT_EQ(
        rows[3][kReasonColumn],
        "\xB7\xFE\xCE\xF1\xC6\xF7\xB7\xB5\xBB\xD8 503\xA3\xAC\xD2\xD1\xD6\xD8\xCA\xD4 2 \xB4\xCE");
    EXPECT_EQ(summary.Count(RowOutcome::Normal), 1);
    EXPECT_EQ(summary.Count(RowOutcome::NoData), 2);
    EXPECT_EQ(summary.Count(RowOutcome::Failed), 2);
    EXPECT_EQ(summary.Count(RowOutcome::Blocked), 2);
    EXPECT_TRUE(summary.AnyTrouble());
    EXPECT_TRUE(summary.VisitedEveryRow());
    EXPECT_EQ(RowsToRetry(table).size(), 4u);
}

TEST_F(QueryOutcome, FlakyServerWithRetriesGivesTheHealthyCellsForEveryNormalRow) {
    std::vector<std::string> keywords;
    for (int i = 0; i < 40; ++i) {
        keywords.push_back(runtime::Utf8ToGbk("连衣裙 " + std::to_string(i)));
    }
    runtime::MemoryTable healthy = StoredTable();
    runtime::MemoryTable flaky = StoredTable();
    Fill(healthy, keywords);
    Fill(flaky, keywords);
    runtime::CancelToken cancel;
    sim::SimulatorOptions options;
    options.seed = 11;
    {
        sim::Simulator simulator(options);
        ASSERT_TRUE(simulator.Start());
        IndexQueryRun(At(simulator.BaseUrl()), healthy, cancel);
    }
    options.failRate = options.dropRate = options.stallRate = 0.2 / 3;
    sim::Simulator simulator(options);
    ASSERT_TRUE(simulator.Start());
    net::FetchSettings settings;
    settings.retries = 4;
    net::SetFetchSettings(settings);
    const QuerySummary summary = IndexQueryRun(At(simulator.BaseUrl()), flaky, cancel);
    const std::vector<runtime::Row> expected = healthy.Rows();
    const std::vector<runtime::Row> got = flaky.Rows();
    int normal = 0;
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (got[i][kOutcomeColumn] != Text(RowOutcome::Normal)) {
            continue;
        }
        ++normal;
        EXPECT_EQ(WithoutFiguresTime(got[i]), WithoutFiguresTime(expected[i])) << i;
    }
    EXPECT_EQ(normal, summary.Count(RowOutcome::Normal));
    EXPECT_GE(normal, 30);                     // with four retries nearly every row gets through
    EXPECT_GT(simulator.RequestCount(), 80u);  // faults were met and retried
}

class BlockedObserver final : public QueryObserver {
public:
    explicit BlockedObserver(std::function<bool()> decide) : m_decide(std::move(decide)) {}
    void RowFinished(int, int) override {}
    bool ResumeAfterBlocked(int streak) override {
        streaks.push_back(streak);
        return m_decide();
    }
    std::vector<int> streaks;

private:
    std::function<bool()> m_decide;
};

TEST_F(QueryOutcome, BlockedRowsInARowPauseTheRunWhichStopsOrResumes) {
    net::test::LocalHttpServer server(CraftedRoutes);
    runtime::CancelToken cancel;
    for (const bool resume : {false, true}) {
        SCOPED_TRACE(resume ? "resume" : "stop");
        net::ProcessPacer().Reset();
        runtime::MemoryTable table = StoredTable();
        Fill(table, {"ok-ok", "ok-blocked", "ok-blocked", "ok-blocked", "ok-ok", "ok-ok"});
        BlockedObserver observer([&] { return resume; });
        const QuerySummary summary = IndexQueryRun(At(server.Url("")), table, cancel, &observer);
        EXPECT_EQ(observer.streaks, std::vector<int>{3});
        const std::vector<runtime::Row> rows = table.Rows();
        const RowOutcome tail = resume ? RowOutcome::Normal : RowOutcome::NotQueried;
        EXPECT_EQ(rows[4][kOutcomeColumn], Text(tail));
        EXPECT_EQ(rows[5][kOutcomeColumn], Text(tail));
        EXPECT_EQ(rows[5][2], resume ? "5000" : "");
        EXPECT_EQ(summary.stoppedForBlocked, !resume);
        EXPECT_EQ(summary.VisitedEveryRow(), resume);
        EXPECT_EQ(summary.Count(RowOutcome::NotQueried), resume ? 0 : 2);
        EXPECT_EQ(RowsToRetry(table).size(), resume ? 3u : 5u);
    }
}

TEST_F(QueryOutcome, AParallelRunPausesForBlockedRowsInTheOrderTheyFinish) {
    net::test::LocalHttpServer server(CraftedRoutes);
    runtime::CancelToken cancel;
    for (const bool resume : {false, true}) {
        SCOPED_TRACE(resume ? "resume" : "stop");
        net::ProcessPacer().Reset();
        runtime::MemoryTable table = StoredTable();
        Fill(table, std::vector<std::string>(7, "ok-blocked"));
        BlockedObserver observer([&] { return resume; });
        const QuerySummary summary =
            IndexQueryRun(At(server.Url("")), table, cancel, &observer, nullptr, 4);
        // Every third blocked row asks; the rows in flight meanwhile wait.
        EXPECT_EQ(observer.streaks, (resume ? std::vector<int>{3, 3} : std::vector<int>{3}));
        EXPECT_EQ(summary.stoppedForBlocked, !resume);
        const int blocked = summary.Count(RowOutcome::Blocked);
        EXPECT_EQ(blocked + summary.Count(RowOutcome::NotQueried), 7);
        EXPECT_EQ(blocked, resume ? 7 : 3);
        int marked = 0;
        for (const runtime::Row& row : table.Rows()) {
            marked += row[kOutcomeColumn] == Text(RowOutcome::Blocked);
            EXPECT_TRUE(row[kOutcomeColumn] == Text(RowOutcome::Blocked) ||
                        row[kOutcomeColumn] == Text(RowOutcome::NotQueried));
        }
        EXPECT_EQ(marked, blocked);
    }
}

TEST_F(QueryOutcome, AKeywordTooLongForAnAddressFailsWithTheReason) {
    net::test::LocalHttpServer server(CraftedRoutes);
    runtime::MemoryTable table = StoredTable();
    Fill(table, {std::string(3000, 'k')});  // 9000 bytes once percent-encoded
    runtime::CancelToken cancel;
    IndexQueryRun(At(server.Url("")), table, cancel);
    const runtime::Row row = table.Rows()[0];
    EXPECT_EQ(row[kOutcomeColumn], Text(RowOutcome::Failed));
    EXPECT_NE(row[kReasonColumn].find(std::to_string(net::kMaxUrlBytes)), std::string::npos);
    EXPECT_EQ(row[2], "");
}

}  // namespace
}  // namespace mofeng::query
