#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <future>
#include <thread>

#include "LocalHttpServer.h"
#include "RawHttpServer.h"
#include "net/HttpFetch.h"

namespace mofeng::net {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::LocalHttpServer;
using test::RawHttpServer;

TEST(ReadChunkSize, AnnouncedLengthPlusOneCappedAt102400) {
    const std::pair<std::optional<long long>, std::size_t> cases[] = {
        {std::nullopt, 10240},
        {0, 10240},
        {-1, 10240},
        {LLONG_MIN, 10240},
        {1, 2},
        {500, 501},
        {102398, 102399},
        {102399, 102400},
        {102400, 102400},
        {1000000, 102400},
        {LLONG_MAX, 102400},
    };
    for (const auto& [length, chunk] : cases) {
        EXPECT_EQ(ReadChunkSize(length), chunk) << (length ? std::to_string(*length) : "absent");
    }
}

// Restores the product's limits after each test that shortens them.
class FetchLimits : public ::testing::Test {
protected:
    void SetUp() override { m_saved = CurrentTransportLimits(); }
    void TearDown() override { SetTransportLimits(m_saved); }

private:
    TransportLimits m_saved;
};

char PatternByte(std::size_t offset) {
    return static_cast<char>((offset * 7 + offset / 4096) & 0xFF);
}

// Serves /bytes/N: N pattern bytes with a Content-Length, streamed.
LocalHttpServer PatternServer() {
    return LocalHttpServer([](httplib::Server& routes) {
        routes.Get(R"(/bytes/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
            const std::size_t total = std::stoull(req.matches[1]);
            res.set_content_provider(
                total, "application/octet-stream",
                [](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                    std::string block(std::min<std::size_t>(length, 65536), '\0');
                    for (std::size_t i = 0; i < block.size(); ++i) {
                        block[i] = PatternByte(offset + i);
                    }
                    return sink.write(block.data(), block.size());
                });
        });
    });
}

TEST_F(FetchLimits, BodyIsCutAtExactlyTheLimit) {
    TransportLimits limits;
    limits.maxBodyBytes = 100000;
    SetTransportLimits(limits);
    LocalHttpServer server = PatternServer();
    for (const std::size_t size : {99999u, 100000u, 100001u, 250000u}) {
        const std::string body = HttpFetch(server.Url("/bytes/" + std::to_string(size)));
        ASSERT_EQ(body.size(), std::min<std::size_t>(size, 100000)) << size;
        for (std::size_t i = 0; i < body.size(); ++i) {
            ASSERT_EQ(body[i], PatternByte(i)) << "size " << size << " offset " << i;
        }
    }
}

TEST_F(FetchLimits, HundredMegabyteBodyIsCutAt64MiB) {
    LocalHttpServer server = PatternServer();
    const std::string body = HttpFetch(server.Url("/bytes/100000000"));
    ASSERT_EQ(body.size(), 64u * 1024u * 1024u);
    for (std::size_t i = 0; i < body.size(); i += 4093) {
        ASSERT_EQ(body[i], PatternByte(i)) << i;
    }
    EXPECT_EQ(body.back(), PatternByte(body.size() - 1));
}

TEST_F(FetchLimits, StalledTransferIsAbandonedWithWhatArrived) {
    TransportLimits limits;
    limits.stallTimeout = 300ms;
    SetTransportLimits(limits);
    // Silent from the start, and silent after the headers and a few bytes.
    for (const std::string sent : {"", "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nhello"}) {
        RawHttpServer server([&](int socket, const std::string&) {
            RawHttpServer::SendAll(socket, sent);
            RawHttpServer::WaitForPeerClose(socket);
        });
        const auto start = Clock::now();
        EXPECT_EQ(HttpFetch(server.Url("/stall")), sent.empty() ? "" : "hello");
        const auto elapsed = Clock::now() - start;
        EXPECT_GE(elapsed, 300ms);
        EXPECT_LT(elapsed, 10s);  // the product's 60 s would mean the limit was ignored
    }
}

TEST(HttpFetchCancel, CancelEndsAFetchWaitingOnASilentServer) {
    RawHttpServer server(
        [](int socket, const std::string&) { RawHttpServer::WaitForPeerClose(socket); });
    runtime::CancelToken token;
    std::promise<Clock::time_point> returned;
    std::string body;
    std::thread fetcher([&] {
        body = HttpFetch(server.Url("/wait"), &token);
        returned.set_value(Clock::now());
    });
    server.WaitForRequest();
    const auto cancelledAt = Clock::now();
    token.Cancel();
    const auto latency = std::chrono::duration_cast<std::chrono::milliseconds>(
        returned.get_future().get() - cancelledAt);
    fetcher.join();
    RecordProperty("cancel_latency_ms", static_cast<int>(latency.count()));
    std::printf("cancel latency: %lld ms\n", static_cast<long long>(latency.count()));
    EXPECT_LT(latency, 1s);  // the product's stall limit is 60 s
    EXPECT_EQ(body, "");
}

TEST(HttpFetchCancel, RaisedTokenSendsNothing) {
    RawHttpServer server([](int socket, const std::string&) {
        RawHttpServer::SendAll(socket, "HTTP/1.0 200 OK\r\n\r\nok");
    });
    runtime::CancelToken token;
    token.Cancel();
    EXPECT_EQ(HttpFetch(server.Url("/"), &token), "");
    EXPECT_EQ(server.ConnectionCount(), 0u);
}

}  // namespace
}  // namespace mofeng::net
