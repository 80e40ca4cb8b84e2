#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <numeric>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/KeywordListColumns.h"
#include "net/PercentEncode.h"
#include "query/IndexMetrics.h"
#include "query/IndexQueryRun.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"
#include "runtime/NumberOps.h"
#include "sim/Simulator.h"

namespace mofeng::query {
namespace {

constexpr const char* kAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
const std::string kTrendPath = "/trendindex.json?query=";
const std::string kSearchPath = "/search?initiative_id=staobaoz_20150308&js=1&q=";

// UTF-8 keywords; the list holds them as GBK. The empty keyword has neither
// series nor listings in the simulator.
const std::vector<std::string> kKeywords = {"连衣裙", "碎花连衣裙 夏", "", "a b", "雪纺长款"};

class CallbackObserver final : public QueryObserver {
public:
    explicit CallbackObserver(std::function<void(int, int)> callback)
        : m_callback(std::move(callback)) {}
    void RowFinished(int done, int total) override { m_callback(done, total); }

private:
    std::function<void(int, int)> m_callback;
};

class IndexQueryRunTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_simulator.Start()); }

    net::EndpointConfig Config() const {
        net::EndpointConfig config;
        config.searchBase = m_simulator.BaseUrl();
        config.indexBase = m_simulator.BaseUrl();
        config.suggestBase = m_simulator.BaseUrl();
        return config;
    }

    static void Fill(runtime::MemoryTable& table, const std::vector<std::string>& keywords) {
        std::vector<runtime::Row> rows;
        for (std::size_t i = 0; i < keywords.size(); ++i) {
            rows.push_back({std::to_string(i + 1), runtime::Utf8ToGbk(keywords[i])});
        }
        table.AppendRows(std::move(rows));
    }

    // Columns 2 to 7 as the simulator's data says they must read.
    runtime::Row ExpectedCells(const std::string& keywordUtf8) const {
        const auto values = m_simulator.ExpectedSeries(keywordUtf8);
        TrendSeries series;
        if (values) {
            for (std::size_t k = 0; k < 7; ++k) {
                series.values[k] = std::to_string((*values)[k]);
            }
        }
        const std::int32_t count = runtime::TruncateToInt32(
            static_cast<double>(m_simulator.ExpectedListingCount(keywordUtf8)));
        const IndexMetrics metrics = ComputeIndexMetrics(series, count);
        return {runtime::ToText(static_cast<int>(count)),
                metrics.yesterday,
                metrics.average,
                metrics.trend,
                metrics.competition,
                metrics.slope};
    }

    static runtime::Row MetricCells(const runtime::Row& row) {
        return runtime::Row(row.begin() + kFirstMetricColumn, row.end());
    }

    sim::Simulator m_simulator;
    runtime::MemoryTable m_table{app::KeywordListColumns()};
    runtime::CancelToken m_cancel;
};

TEST_F(IndexQueryRunTest, FillsEveryRowTrendThenSearchAndReportsAtTheEnd) {
    Fill(m_table, kKeywords);
    std::vector<int> progress;
    CallbackObserver observer([&](int done, int total) {
        EXPECT_EQ(total, static_cast<int>(kKeywords.size()));
        progress.push_back(done);
    });
    const QuerySummary summary = IndexQueryRun(Config(), m_table, m_cancel, &observer);

    const std::vector<sim::RequestRecord> requests = m_simulator.Requests();
    ASSERT_EQ(requests.size(), 2 * kKeywords.size());
    for (std::size_t i = 0; i < kKeywords.size(); ++i) {
        SCOPED_TRACE(kKeywords[i]);
        const std::string encoded = net::PercentEncodeUtf8(runtime::Utf8ToGbk(kKeywords[i]));
        EXPECT_EQ(requests[2 * i].target, kTrendPath + encoded);
        EXPECT_EQ(requests[2 * i + 1].target, kSearchPath + encoded);
    }
    for (const sim::RequestRecord& request : requests) {
        EXPECT_EQ(request.method, "GET");
        EXPECT_EQ(request.version, "HTTP/1.0");
        EXPECT_EQ(request.userAgent, kAgent);
        EXPECT_EQ(request.accept, std::vector<std::string>{"*/*"});
    }

    const std::vector<runtime::Row> rows = m_table.Rows();
    for (std::size_t i = 0; i < kKeywords.size(); ++i) {
        SCOPED_TRACE(kKeywords[i]);
        EXPECT_EQ(rows[i][0], std::to_string(i + 1));  // untouched
        EXPECT_EQ(MetricCells(rows[i]), ExpectedCells(kKeywords[i]));
    }
    // The empty keyword is looked up too: no series and no listings.
    EXPECT_EQ(MetricCells(rows[2])[1], "");
    EXPECT_EQ(MetricCells(rows[2])[3], "0  --");

    EXPECT_TRUE(summary.VisitedEveryRow());
    EXPECT_FALSE(summary.AnyTrouble());
    EXPECT_EQ(progress, (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(IndexQueryRunTest, EmptyListReportsAtOnceWithoutRequests) {
    const QuerySummary summary = IndexQueryRun(Config(), m_table, m_cancel);
    EXPECT_EQ(m_simulator.RequestCount(), 0u);
    EXPECT_TRUE(summary.VisitedEveryRow());
}

TEST_F(IndexQueryRunTest, ListChangesDuringTheRun) {
    const std::vector<std::string> appended = {"appended"};
    const struct {
        const char* name;
        std::function<void(runtime::MemoryTable&)> afterFirstRow;
        std::uint64_t requests;
    } cases[] = {
        // Cleared rows are skipped without requests; the run still completes.
        {"cleared", [](runtime::MemoryTable& table) { table.Clear(); }, 2},
        // Reversed: every keyword must still get its own metrics.
        {"reordered",
         [](runtime::MemoryTable& table) {
             table.ReorderRows({4, 3, 2, 1, 0});
         },
         2 * kKeywords.size()},
        // Appended rows are not visited.
        {"appended", [&](runtime::MemoryTable& table) { Fill(table, appended); },
         2 * kKeywords.size()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_table.Clear();
        m_simulator.ClearRequests();
        Fill(m_table, kKeywords);
        CallbackObserver observer([&](int done, int) {
            if (done == 1) {
                c.afterFirstRow(m_table);
            }
        });
        const QuerySummary summary = IndexQueryRun(Config(), m_table, m_cancel, &observer);

        EXPECT_EQ(m_simulator.Requests().size(), c.requests);
        EXPECT_TRUE(summary.VisitedEveryRow());
        for (const runtime::Row& row : m_table.Rows()) {
            const std::string keyword = runtime::GbkToUtf8(row[1]);
            SCOPED_TRACE(keyword);
            if (keyword == "appended") {
                EXPECT_EQ(MetricCells(row), runtime::Row(6));
            } else {
                EXPECT_EQ(MetricCells(row), ExpectedCells(keyword));
            }
        }
    }
}

TEST_F(IndexQueryRunTest, CancelAfterARowStopsWithoutMessage) {
    Fill(m_table, kKeywords);
    CallbackObserver observer([&](int done, int) {
        if (done == 2) {
            m_cancel.Cancel();
        }
    });
    const QuerySummary summary = IndexQueryRun(Config(), m_table, m_cancel, &observer);

    EXPECT_EQ(m_simulator.RequestCount(), 4u);
    EXPECT_TRUE(summary.cancelled);
    const std::vector<runtime::Row> rows = m_table.Rows();
    EXPECT_EQ(MetricCells(rows[1]), ExpectedCells(kKeywords[1]));
    EXPECT_EQ(MetricCells(rows[2]), runtime::Row(6));
}

// A simulator that stalls every reply; the trend and the search endpoint
// point at it.
class IndexQueryRunStall : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(simulator.Start());
        config.searchBase = config.indexBase = simulator.BaseUrl();
    }

    static sim::SimulatorOptions StallEveryReply() {
        sim::SimulatorOptions options;
        options.stallRate = 1.0;
        return options;
    }

    sim::Simulator simulator{StallEveryReply()};
    net::EndpointConfig config;
};

TEST_F(IndexQueryRunStall, CancelReleasesAFetchInFlight) {
    runtime::MemoryTable table(app::KeywordListColumns());
    table.AppendRows({{"1", "stalled"}});
    runtime::CancelToken cancel;
    std::atomic<bool> finished{false};
    QuerySummary summary;
    std::thread run([&] {
        summary = IndexQueryRun(config, table, cancel);
        finished = true;
    });
    // The trend request is in flight (and stalled) once the server has it.
    while (simulator.RequestCount() < 1) {
        std::this_thread::yield();
    }
    EXPECT_FALSE(finished);
    cancel.Cancel();
    run.join();

    EXPECT_EQ(simulator.RequestCount(), 1u);
    EXPECT_TRUE(summary.cancelled);
    EXPECT_EQ(table.Rows()[0], (runtime::Row{"1", "stalled", "", "", "", "", "", ""}));
}

// Many keywords, the simulator's own ones and some it has no data for.
std::vector<std::string> ManyKeywords(std::size_t count) {
    std::vector<std::string> keywords;
    for (std::size_t i = 0; i < count; ++i) {
        keywords.push_back((i % 7 == 3 ? "无数据" : "连衣裙") + std::to_string(i));
    }
    return keywords;
}

TEST_F(IndexQueryRunTest, AnyNumberOfJobsGivesTheCellsAndProgressOfOneJob) {
    const std::vector<std::string> keywords = ManyKeywords(60);
    std::vector<runtime::Row> reference;
    std::multiset<std::string> referenceTargets;
    for (const int jobs : {1, 2, 8, 16}) {
        SCOPED_TRACE(std::to_string(jobs) + " jobs");
        m_table.Clear();
        m_simulator.ClearRequests();
        Fill(m_table, keywords);
        const std::uint64_t before = m_simulator.RequestCount();
        std::vector<int> progress;
        CallbackObserver observer([&](int done, int total) {
            EXPECT_EQ(total, static_cast<int>(keywords.size()));
            progress.push_back(done);
        });
        const QuerySummary summary =
            IndexQueryRun(Config(), m_table, m_cancel, &observer, nullptr, jobs);

        const std::vector<runtime::Row> rows = m_table.Rows();
        ASSERT_EQ(rows.size(), keywords.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(MetricCells(rows[i]), ExpectedCells(keywords[i])) << keywords[i];
        }
        std::vector<int> counting(keywords.size());
        std::iota(counting.begin(), counting.end(), 1);
        EXPECT_EQ(progress, counting);
        EXPECT_TRUE(summary.VisitedEveryRow());
        EXPECT_EQ(m_simulator.RequestCount() - before, 2 * keywords.size());

        // The same requests; within a row the trend request comes first.
        std::multiset<std::string> targets;
        std::map<std::string, std::size_t> trendAt;
        const std::vector<sim::RequestRecord> requests = m_simulator.Requests();
        for (std::size_t i = 0; i < requests.size(); ++i) {
            const std::string& target = requests[i].target;
            targets.insert(target);
            if (target.rfind(kTrendPath, 0) == 0) {
                trendAt[target.substr(kTrendPath.size())] = i;
            } else {
                const std::string key = target.substr(kSearchPath.size());
                ASSERT_TRUE(trendAt.count(key)) << "search before trend: " << key;
            }
        }
        if (jobs == 1) {
            reference = rows;
            referenceTargets = targets;
        } else {
            EXPECT_EQ(rows, reference);
            EXPECT_EQ(targets, referenceTargets);
        }
    }
}

TEST_F(IndexQueryRunTest, ParallelRunKeepsResultsInTheirRowsWhenTheListChanges) {
    const std::vector<std::string> keywords = ManyKeywords(30);
    // Reversed after the fifth row: every keyword keeps its own figures.
    Fill(m_table, keywords);
    CallbackObserver reorder([&](int done, int) {
        if (done == 5) {
            std::vector<int> reversed(keywords.size());
            std::iota(reversed.rbegin(), reversed.rend(), 0);
            m_table.ReorderRows(reversed);
        }
    });
    IndexQueryRun(Config(), m_table, m_cancel, &reorder, nullptr, 8);
    for (const runtime::Row& row : m_table.Rows()) {
        EXPECT_EQ(MetricCells(row), ExpectedCells(runtime::GbkToUtf8(row[1])));
    }

    // Cleared after the fifth row: the rest are skipped, at most the rows
    // already under way still ask, and the run still visits every row.
    m_table.Clear();
    m_simulator.ClearRequests();
    Fill(m_table, keywords);
    CallbackObserver clear([&](int done, int) {
        if (done == 5) {
            m_table.Clear();
        }
    });
    const QuerySummary cleared = IndexQueryRun(Config(), m_table, m_cancel, &clear, nullptr, 8);
    EXPECT_LE(m_simulator.Requests().size(), 2u * (5 + 8));
    EXPECT_TRUE(cleared.VisitedEveryRow());
}

TEST_F(IndexQueryRunStall, CancelReleasesEveryFetchInFlight) {
    runtime::MemoryTable table(app::KeywordListColumns());
    for (int i = 0; i < 20; ++i) {
        table.AppendRows({{std::to_string(i + 1), "stalled" + std::to_string(i)}});
    }
    runtime::CancelToken cancel;
    QuerySummary summary;
    std::thread run([&] { summary = IndexQueryRun(config, table, cancel, nullptr, nullptr, 4); });
    // Four trend requests are in flight (and stalled) once the server has them.
    while (simulator.RequestCount() < 4) {
        std::this_thread::yield();
    }
    // A fetch that ignored the cancel would hold the join for its whole stall.
    cancel.Cancel();
    run.join();

    EXPECT_EQ(simulator.RequestCount(), 4u);
    EXPECT_TRUE(summary.cancelled);
    for (const runtime::Row& row : table.Rows()) {
        EXPECT_EQ(runtime::Row(row.begin() + kFirstMetricColumn, row.end()), runtime::Row(6));
    }
}

}  // namespace
}  // namespace mofeng::query
