#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "app/KeywordListColumns.h"
#include "net/CookieJar.h"
#include "net/FetchSettings.h"
#include "net/FetchTexts.h"
#include "net/HostAvailability.h"
#include "net/HostPacer.h"
#include "net/HttpFetch.h"
#include "query/IndexQueryRun.h"
#include "query/QueryRunFixture.h"
#include "runtime/MemoryTable.h"
#include "sim/Simulator.h"

namespace mofeng::query {
namespace {

using namespace std::chrono_literals;

// A host on 127.0.0.1 that accepts every connection and never answers.
class SilentHost final {
public:
    SilentHost() {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_listener < 0 ||
            bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(m_listener, 64) != 0 ||
            getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("cannot listen on 127.0.0.1");
        }
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] {
            while (!m_stop) {
                pollfd ready{m_listener, POLLIN, 0};
                if (poll(&ready, 1, 50) <= 0) {
                    continue;
                }
                const int socket = accept(m_listener, nullptr, nullptr);
                if (socket >= 0) {
                    m_open.push_back(socket);
                    ++m_connections;
                }
            }
        });
    }
    ~SilentHost() {
        m_stop = true;
        m_thread.join();
        for (const int socket : m_open) {
            close(socket);
        }
        close(m_listener);
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    int Connections() const { return m_connections; }

private:
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::vector<int> m_open;  // accepting thread only
    std::thread m_thread;
};

// A loopback address nothing listens on: connections are refused.
std::string RefusingUrl() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    close(probe);
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
}

class NoticeObserver final : public QueryObserver {
public:
    void RowFinished(int, int) override {}
    void EndpointUnavailable(const std::string& notice) override { notices.push_back(notice); }
    std::vector<std::string> notices;
};

const std::string kUnavailable(net::HostUnavailableReason());
// 指数接口不可用，本次不再请求
const std::string kIndexDown =
    "\xD6\xB8\xCA\xFD\xBD\xD3\xBF\xDA\xB2\xBB\xBF\xC9\xD3\xC3\xA3\xAC\xB1\xBE\xB4\xCE\xB2\xBB\xD4"
    "\xD9\xC7\xEB\xC7\xF3";

class DeadEndpoint : public QueryRunFixture {
protected:
    DeadEndpoint() : QueryRunFixture(Limits()) {}

    static net::TransportLimits Limits() {
        net::TransportLimits limits = StallAfter(200ms);
        limits.connectTimeout = 1000ms;
        return limits;
    }
    void SetUp() override {
        QueryRunFixture::SetUp();
        ASSERT_TRUE(m_simulator.Start());
    }
    static void Fill(runtime::MemoryTable& table, int count) {
        std::vector<runtime::Row> rows;
        for (int i = 0; i < count; ++i) {
            rows.push_back({std::to_string(i + 1), "kw" + std::to_string(i)});
        }
        table.AppendRows(std::move(rows));
    }
    QuerySummary Run(const net::EndpointConfig& config, runtime::MemoryTable& table,
                     NoticeObserver& observer, int jobs = 1) {
        runtime::CancelToken cancel;
        return IndexQueryRun(config, table, cancel, &observer, nullptr, jobs);
    }
    net::EndpointConfig TrendAt(const std::string& indexBase) const {
        net::EndpointConfig config;
        config.searchBase = config.suggestBase = m_simulator.BaseUrl();
        config.indexBase = indexBase;
        return config;
    }

    sim::Simulator m_simulator;
};

TEST(HostAvailability, MarksAfterFiveConnectionFailuresInARowOnly) {
    using net::TransportError;
    net::HostAvailability hosts;
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(hosts.Record("a:1", TransportError::Stall));
    }
    // Anything the server answered (an error status, a cut body) resets the count.
    EXPECT_FALSE(hosts.Record("a:1", TransportError::Dropped));
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(hosts.Record("a:1", TransportError::Connect));
    }
    // Tries that never reached the host count neither way.
    EXPECT_FALSE(hosts.Record("a:1", TransportError::Cancelled));
    EXPECT_FALSE(hosts.Record("a:1", TransportError::UrlTooLong));
    EXPECT_FALSE(hosts.IsMarked("a:1"));
    EXPECT_FALSE(hosts.Record("b:1", TransportError::ConnectTimeout));  // hosts count apart
    EXPECT_TRUE(hosts.Record("a:1", TransportError::ConnectTimeout));
    EXPECT_TRUE(hosts.IsMarked("a:1"));
    EXPECT_FALSE(hosts.IsMarked("b:1"));
    // Marked once, for good: a later answer does not clear it.
    EXPECT_FALSE(hosts.Record("a:1", TransportError::None));
    EXPECT_FALSE(hosts.Record("a:1", TransportError::Stall));
    EXPECT_TRUE(hosts.IsMarked("a:1"));
    EXPECT_EQ(hosts.MarkedHosts(), std::vector<std::string>{"a:1"});
}

TEST_F(DeadEndpoint, SilentTrendHostIsAskedFiveTimesAndEveryRowKeepsItsListingCount) {
    SilentHost trend;
    runtime::MemoryTable table(app::KeywordListStorageColumns());
    Fill(table, 30);
    NoticeObserver observer;
    const auto started = std::chrono::steady_clock::now();
    const QuerySummary summary = Run(TrendAt(trend.Url()), table, observer, 2);
    // Without the mark: 30 rows x 3 tries x 200 ms of stall, plus back-off.
    EXPECT_LT(std::chrono::steady_clock::now() - started, 8s);
    // Five tries mark the host; the other worker's try in flight may still land.
    EXPECT_GE(trend.Connections(), 5);
    EXPECT_LE(trend.Connections(), 6);
    EXPECT_EQ(summary.Count(RowOutcome::Partial), 30);
    EXPECT_FALSE(summary.AnyTrouble());
    EXPECT_EQ(observer.notices, std::vector<std::string>{kIndexDown});
    EXPECT_EQ(summary.unavailableNotices, observer.notices);
    for (const runtime::Row& row : table.Rows()) {
        SCOPED_TRACE(row[1]);
        EXPECT_EQ(row[2], std::to_string(m_simulator.ExpectedListingCount(row[1])));
        for (int column = 3; column <= 7; ++column) {
            EXPECT_EQ(row[static_cast<std::size_t>(column)], "") << column;
        }
        EXPECT_EQ(row[kOutcomeColumn], RowOutcomeText(RowOutcome::Partial));
        EXPECT_EQ(row[kReasonColumn], kUnavailable);
    }
    // 重试失败行 leaves 部分 rows alone.
    EXPECT_TRUE(RowsToRetry(table).empty());
}

TEST_F(DeadEndpoint, ALaterRunAsksTheHostAgainAndAHealthyOneIsNeverMarked) {
    const std::string refusing = RefusingUrl();
    runtime::MemoryTable first(app::KeywordListStorageColumns());
    Fill(first, 8);
    NoticeObserver observer;
    Run(TrendAt(refusing), first, observer);
    ASSERT_EQ(observer.notices.size(), 1u);

    // The row that failed before the mark is 部分 like those after it.
    EXPECT_EQ(first.Rows()[0][kOutcomeColumn], RowOutcomeText(RowOutcome::Partial));
    EXPECT_EQ(first.Rows()[0][kReasonColumn], kUnavailable);

    // The same dead host in a new run: asked again, told of again.
    const std::uint64_t searchesBefore = m_simulator.RequestCount();
    runtime::MemoryTable second(app::KeywordListStorageColumns());
    Fill(second, 3);
    NoticeObserver again;
    const QuerySummary summary = Run(TrendAt(refusing), second, again);
    EXPECT_EQ(again.notices.size(), 1u);
    EXPECT_EQ(summary.Count(RowOutcome::Partial), 3);
    EXPECT_EQ(m_simulator.RequestCount() - searchesBefore, 3u);

    // Both endpoints on hosts that went down: nothing is there, the row failed.
    net::EndpointConfig bothDown = TrendAt(refusing);
    bothDown.searchBase = RefusingUrl();
    runtime::MemoryTable third(app::KeywordListStorageColumns());
    Fill(third, 6);
    NoticeObserver both;
    const QuerySummary failed = Run(bothDown, third, both);
    EXPECT_EQ(both.notices.size(), 2u);
    EXPECT_EQ(failed.Count(RowOutcome::Failed), 6);
    EXPECT_EQ(RowsToRetry(third).size(), 6u);

    // A healthy simulator: no notice, every row normal.
    runtime::MemoryTable healthy(app::KeywordListStorageColumns());
    Fill(healthy, 10);
    NoticeObserver none;
    const QuerySummary normal = Run(TrendAt(m_simulator.BaseUrl()), healthy, none);
    EXPECT_TRUE(none.notices.empty());
    EXPECT_EQ(normal.Count(RowOutcome::Partial), 0);
    EXPECT_FALSE(normal.AnyTrouble());
}

}  // namespace
}  // namespace mofeng::query
