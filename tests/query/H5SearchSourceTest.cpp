#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/KeywordListColumns.h"
#include "net/CookieJar.h"
#include "net/FetchSettings.h"
#include "net/H5ListingCount.h"
#include "net/HostPacer.h"
#include "net/HttpFetch.h"
#include "query/IndexQueryRun.h"
#include "query/RowsWithoutTime.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"
#include "sim/Simulator.h"

namespace mofeng::query {
namespace {

using namespace std::chrono_literals;

class H5SearchSource : public ::testing::Test {
protected:
    void SetUp() override {
        net::ProcessPacer().Reset();
        net::ProcessCookieJar().Clear();
        net::SetFetchSettings({});
    }
    void TearDown() override {
        net::SetFetchSettings({});
        net::ProcessCookieJar().Clear();
    }
    static net::H5CountLookup Count(const sim::Simulator& simulator, const std::string& keyword) {
        return net::FetchH5ListingCount(simulator.BaseUrl(), net::H5Api{}, keyword,
                                        simulator.BaseUrl() + "/search?q=x", nullptr, nullptr);
    }
    // The outcomes the simulator gave the h5 calls, in order.
    static std::vector<std::string> H5Outcomes(const sim::Simulator& simulator) {
        std::vector<std::string> outcomes;
        for (const sim::RequestRecord& record : simulator.Requests()) {
            if (record.outcome.rfind("h5-", 0) == 0) {
                outcomes.push_back(record.outcome);
            }
        }
        return outcomes;
    }
};

TEST_F(H5SearchSource, TokenIsTakenFromTheEmptyAnswerSignedAndKeptUntilItGoesStale) {
    sim::SimulatorOptions options;
    options.h5TokenTtlS = 1;
    sim::Simulator simulator(options);
    ASSERT_TRUE(simulator.Start());
    const std::string keyword = runtime::Utf8ToGbk("连衣裙");
    const long long expected = simulator.ExpectedListingCount("连衣裙");

    net::H5CountLookup first = Count(simulator, keyword);
    EXPECT_EQ(first.fetched.outcome, net::FetchOutcome::Reply);
    EXPECT_EQ(first.count, expected);
    EXPECT_EQ(H5Outcomes(simulator), (std::vector<std::string>{"h5-token-empty", "h5-ok"}));
    const std::vector<sim::RequestRecord> records = simulator.Requests();
    EXPECT_NE(records.back().cookie.find("_m_h5_tk="), std::string::npos);
    EXPECT_NE(records.back().cookie.find("_m_h5_tk_enc="), std::string::npos);
    EXPECT_EQ(records.back().userAgent, net::kBrowserUserAgent);

    // The token is kept: one call.
    simulator.ClearRequests();
    EXPECT_EQ(Count(simulator, "kw1").count, simulator.ExpectedListingCount("kw1"));
    EXPECT_EQ(H5Outcomes(simulator), std::vector<std::string>{"h5-ok"});

    // Past its life the server refuses it and hands out another.
    std::this_thread::sleep_for(1100ms);
    simulator.ClearRequests();
    EXPECT_EQ(Count(simulator, keyword).count, expected);
    EXPECT_EQ(H5Outcomes(simulator), (std::vector<std::string>{"h5-token-expired", "h5-ok"}));

    // A token the server never issued is stale too.
    net::ProcessCookieJar().Clear();
    net::ProcessCookieJar().Store("127.0.0.1", "_m_h5_tk=0123456789abcdef_1; Path=/");
    simulator.ClearRequests();
    EXPECT_EQ(Count(simulator, keyword).count, expected);
    EXPECT_EQ(H5Outcomes(simulator), (std::vector<std::string>{"h5-token-expired", "h5-ok"}));
}

TEST_F(H5SearchSource, TheServerChecksTheSignAndABlockAnswerIsBlocked) {
    sim::SimulatorOptions options;
    options.blockAfter = 3;
    sim::Simulator simulator(options);
    ASSERT_TRUE(simulator.Start());
    ASSERT_TRUE(Count(simulator, "kw1").count.has_value());  // requests 1 and 2

    // A known token with a sign made over another token: refused, and that
    // failure is 失败 with the server's message, not a retry of the token.
    const std::string data = net::H5SearchData(net::H5Api{}, "kw1");
    const net::FetchResult forged = net::HttpFetchResult(
        net::H5SearchUrl(simulator.BaseUrl(), net::H5Api{}, data, "other", 1700000000000));
    const net::H5Reply refused = net::ReadH5Reply(forged.body);
    EXPECT_EQ(refused.Code(), "FAIL_SYS_ILLEGAL_ACCESS");
    const net::H5Verdict verdict = net::JudgeH5Reply(refused, forged.body);
    EXPECT_EQ(verdict.outcome, net::FetchOutcome::Failed);
    EXPECT_FALSE(verdict.tokenRefused);

    // Past the block limit: RGV587_ERROR, which is a block.
    const net::H5CountLookup blocked = Count(simulator, "kw2");
    EXPECT_EQ(blocked.fetched.outcome, net::FetchOutcome::Blocked);
    EXPECT_FALSE(blocked.count);
    EXPECT_EQ(H5Outcomes(simulator).back(), "h5-blocked");
}

TEST_F(H5SearchSource, AQueryRunGivesThePageSourcesCountsAndSendsTheLoginAlong) {
    sim::Simulator simulator;
    ASSERT_TRUE(simulator.Start());
    net::FetchSettings settings;
    ASSERT_TRUE([&] {
        std::string error;
        return net::ParseCookieHeader("session=seller", settings.login.pasted, error);
    }());
    net::SetFetchSettings(settings);

    std::vector<runtime::Row> rows;
    for (int i = 0; i < 12; ++i) {
        rows.push_back(
            {std::to_string(i + 1), i % 3 == 0 ? runtime::Utf8ToGbk("连衣裙 " + std::to_string(i))
                                               : "kw" + std::to_string(i)});
    }
    net::EndpointConfig config;
    config.searchBase = config.indexBase = config.suggestBase = config.h5Base = simulator.BaseUrl();
    runtime::MemoryTable page(app::KeywordListStorageColumns());
    runtime::MemoryTable h5(app::KeywordListStorageColumns());
    page.AppendRows(rows);
    h5.AppendRows(rows);
    runtime::CancelToken cancel;
    IndexQueryRun(config, page, cancel);
    config.searchSource = net::SearchSource::H5;
    simulator.ClearRequests();
    const QuerySummary summary = IndexQueryRun(config, h5, cancel, nullptr, nullptr, 3);
    EXPECT_FALSE(summary.AnyTrouble());
    const std::vector<runtime::Row> byPage = page.Rows();
    const std::vector<runtime::Row> byH5 = h5.Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i][1]);
        EXPECT_FALSE(byPage[i][2].empty());
        // every cell, the competition multiple too
        EXPECT_EQ(WithoutFiguresTime(byH5[i]), WithoutFiguresTime(byPage[i]));
    }
    // No search page was asked; every h5 call carried the seller's login.
    for (const sim::RequestRecord& record : simulator.Requests()) {
        EXPECT_EQ(record.target.rfind("/search?", 0), std::string::npos) << record.target;
        if (record.outcome.rfind("h5-", 0) == 0) {
            EXPECT_NE(record.cookie.find("session=seller"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace mofeng::query
