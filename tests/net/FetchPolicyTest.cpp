#include <gtest/gtest.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <latch>
#include <thread>

#include "LocalHttpServer.h"
#include "RawHttpServer.h"
#include "net/CookieJar.h"
#include "net/FetchSettings.h"
#include "net/HostPacer.h"
#include "net/HttpFetch.h"
#include "net/PolicyFetch.h"

namespace mofeng::net {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::LocalHttpServer;
using test::RawHttpServer;

// Each test starts from the product's settings with a fresh pacer and jar.
class Policy : public ::testing::Test {
protected:
    void SetUp() override {
        m_limits = CurrentTransportLimits();
        SetFetchSettings({});
        ProcessPacer().Reset();
        ProcessCookieJar().Clear();
    }
    void TearDown() override {
        SetTransportLimits(m_limits);
        SetFetchSettings({});
        ProcessPacer().Reset();
        ProcessCookieJar().Clear();
    }
    static void ShortLimits() {
        TransportLimits limits;
        limits.connectTimeout = 300ms;
        limits.stallTimeout = 300ms;
        limits.overallDeadline = 2s;
        limits.maxBodyBytes = 1000;
        SetTransportLimits(limits);
    }

private:
    TransportLimits m_limits;
};

std::string Reply(std::string_view head, std::string_view body) {
    return std::string(head) + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
           std::string(body);
}

TEST_F(Policy, EachFailureKindIsRetriedAndEndsFailedWithItsReason) {
    ShortLimits();
    struct Case {
        const char* name;
        std::function<void(int)> serve;
        TransportError error;
        long status;
    };
    const Case cases[] = {
        {"dropped mid-body",
         [](int s) {
             RawHttpServer::SendAll(s, "HTTP/1.0 200 OK\r\nContent-Length: 50\r\n\r\nab");
         },
         TransportError::Dropped, 200},
        {"stalled",
         [](int s) {
             RawHttpServer::SendAll(s, "HTTP/1.0 200 OK\r\n\r\n");
             RawHttpServer::WaitForPeerClose(s);
         },
         TransportError::Stall, 200},
        {"trickle under 100 bytes per window",
         [](int s) {
             RawHttpServer::SendAll(s, "HTTP/1.0 200 OK\r\n\r\n");
             // One byte per 50 ms until the client gives up (send fails).
             for (int i = 0; i < 40 && ::send(s, "x", 1, MSG_NOSIGNAL) == 1; ++i) {
                 std::this_thread::sleep_for(50ms);
             }
         },
         TransportError::Stall, 200},
        {"body over the cap",
         [](int s) { RawHttpServer::SendAll(s, Reply("HTTP/1.0 200 OK", std::string(2000, 'b'))); },
         TransportError::BodyTooLarge, 200},
        {"503", [](int s) { RawHttpServer::SendAll(s, Reply("HTTP/1.0 503 Busy", "busy")); },
         TransportError::None, 503},
        {"429", [](int s) { RawHttpServer::SendAll(s, Reply("HTTP/1.0 429 Slow", "slow")); },
         TransportError::None, 429},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        ProcessPacer().Reset();
        RawHttpServer server([&](int s, const std::string&) { each.serve(s); });
        const PolicyFetchResult fetched = FetchWithPolicy(server.Url("/x"), nullptr);
        EXPECT_EQ(fetched.outcome, FetchOutcome::Failed);
        EXPECT_EQ(fetched.last.error, each.error);
        EXPECT_EQ(fetched.last.status, each.status);
        EXPECT_EQ(fetched.retries, 2);
        EXPECT_EQ(server.ConnectionCount(), 3u);
        EXPECT_NE(fetched.reason.find("\xA3\xAC\xD2\xD1\xD6\xD8\xCA\xD4 2 \xB4\xCE"),
                  std::string::npos);  // ，已重试 2 次
    }
}

TEST_F(Policy, NothingListeningIsAConnectFailure) {
    int port = 0;
    {
        port = RawHttpServer([](int, const std::string&) {}).Port();
    }
    FetchSettings settings;
    settings.retries = 1;
    SetFetchSettings(settings);
    const PolicyFetchResult fetched =
        FetchWithPolicy("http://127.0.0.1:" + std::to_string(port) + "/", nullptr);
    EXPECT_EQ(fetched.last.error, TransportError::Connect);
    EXPECT_EQ(fetched.retries, 1);
    EXPECT_EQ(fetched.reason,
              "\xC1\xAC\xBD\xD3\xCA\xA7\xB0\xDC\xA3\xAC\xD2\xD1\xD6\xD8\xCA\xD4 1 \xB4\xCE");
}

TEST_F(Policy, RepliesAndBlockedPagesAreNotRetried) {
    const std::pair<std::string, FetchOutcome> cases[] = {
        {Reply("HTTP/1.0 404 Not Found", "<html>gone</html>"), FetchOutcome::Reply},
        {Reply("HTTP/1.0 200 OK", "var x5secdata='...';"), FetchOutcome::Blocked},
        {Reply("HTTP/1.0 200 OK", "<div id=\"_____tmd_____\">"), FetchOutcome::Blocked},
        {"HTTP/1.0 302 Found\r\nLocation: /member/login.jhtml?r=1\r\nContent-Length: 0\r\n\r\n",
         FetchOutcome::Blocked},
        // A login on another host is not followed but still seen.
        {"HTTP/1.0 302 Found\r\nLocation: http://127.0.0.2:1/punish?x=1\r\nContent-Length: "
         "0\r\n\r\n",
         FetchOutcome::Blocked},
    };
    for (const auto& [reply, outcome] : cases) {
        SCOPED_TRACE(reply);
        RawHttpServer server([&, reply = reply](int s, const std::string& request) {
            if (request.find("GET /member/login.jhtml") == 0) {
                RawHttpServer::SendAll(s, Reply("HTTP/1.0 200 OK", "please log in"));
            } else {
                RawHttpServer::SendAll(s, reply);
            }
        });
        const PolicyFetchResult fetched = FetchWithPolicy(server.Url("/search?q=login"), nullptr);
        EXPECT_EQ(fetched.outcome, outcome);
        EXPECT_EQ(fetched.retries, 0);
    }
}

TEST_F(Policy, RetryAfterIsWaitedAndFlakyServerEndsWithTheReply) {
    std::atomic<int> served{0};
    RawHttpServer server([&](int s, const std::string&) {
        if (served++ == 0) {
            RawHttpServer::SendAll(
                s, "HTTP/1.0 429 Slow\r\nRetry-After: 1\r\nContent-Length: 4\r\n\r\nslow");
        } else {
            RawHttpServer::SendAll(s, Reply("HTTP/1.0 200 OK", "data"));
        }
    });
    const auto start = Clock::now();
    const PolicyFetchResult fetched = FetchWithPolicy(server.Url("/x"), nullptr);
    const auto elapsed = Clock::now() - start;
    EXPECT_EQ(fetched.outcome, FetchOutcome::Reply);
    EXPECT_EQ(fetched.last.body, "data");
    EXPECT_EQ(fetched.retries, 1);
    EXPECT_TRUE(fetched.reason.empty());
    EXPECT_GE(elapsed, 1s);
    // The 429 slowed the host down.
    EXPECT_GE(ProcessPacer().Interval("127.0.0.1:" + std::to_string(server.Port())),
              HostPacer::kFirstSlowDown * 3 / 4);
}

TEST(RetryDelay, FullJitterUnderADoublingCapAndRetryAfterCapped) {
    std::mt19937 random(7);
    const std::pair<int, long> ceilings[] = {{1, 500}, {2, 1000}, {3, 2000}, {5, 8000}, {9, 8000}};
    for (const auto& [retry, ceiling] : ceilings) {
        long highest = 0;
        for (int i = 0; i < 400; ++i) {
            const long delay = static_cast<long>(RetryDelay(retry, std::nullopt, random).count());
            EXPECT_GE(delay, 0);
            EXPECT_LE(delay, ceiling);
            highest = std::max(highest, delay);
        }
        EXPECT_GT(highest, ceiling / 2) << "retry " << retry;  // spread over the range
    }
    EXPECT_EQ(RetryDelay(1, std::chrono::seconds(3), random), 3s);
    EXPECT_EQ(RetryDelay(1, std::chrono::seconds(600), random), 60s);
}

TEST_F(Policy, CancelEndsABackoffWaitAtOnce) {
    RawHttpServer server([](int s, const std::string&) {
        RawHttpServer::SendAll(s, "HTTP/1.0 503 x\r\nRetry-After: 30\r\nContent-Length: 0\r\n\r\n");
    });
    runtime::CancelToken cancel;
    std::thread stopper([&] {
        server.WaitForRequest();
        std::this_thread::sleep_for(100ms);
        cancel.Cancel();
    });
    const auto start = Clock::now();
    const PolicyFetchResult fetched = FetchWithPolicy(server.Url("/x"), &cancel);
    stopper.join();
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_EQ(fetched.last.error, TransportError::Cancelled);
}

TEST_F(Policy, PacingSpacesRequestStartsAcrossWorkers) {
    std::mutex mutex;
    std::vector<Clock::time_point> arrivals;
    LocalHttpServer server([&](httplib::Server& routes) {
        routes.Get("/p", [&](const httplib::Request&, httplib::Response& res) {
            std::lock_guard lock(mutex);
            arrivals.push_back(Clock::now());
            res.set_content("ok", "text/plain");
        });
    });
    FetchSettings settings;
    settings.minInterval = 150ms;
    SetFetchSettings(settings);
    constexpr int kWorkers = 4;
    std::latch start(kWorkers);
    std::vector<std::thread> workers;
    for (int i = 0; i < kWorkers; ++i) {
        workers.emplace_back([&] {
            start.arrive_and_wait();
            for (int k = 0; k < 2; ++k) {
                EXPECT_EQ(FetchWithPolicy(server.Url("/p"), nullptr).outcome, FetchOutcome::Reply);
            }
        });
    }
    for (auto& worker : workers) {
        worker.join();
    }
    // Under the server's lock: a reply through a socket is no ordering a
    // thread sanitizer can see.
    std::unique_lock lock(mutex);
    ASSERT_EQ(arrivals.size(), 8u);
    std::sort(arrivals.begin(), arrivals.end());
    for (std::size_t i = 1; i < arrivals.size(); ++i) {
        EXPECT_GE(arrivals[i] - arrivals[i - 1], 120ms) << i;  // a little slack for scheduling
    }
}

TEST(HostPacer, SlowsDownOnTroubleAndDecaysToTheConfiguredInterval) {
    HostPacer pacer;
    ASSERT_TRUE(pacer.WaitTurn("h", 100ms, nullptr));
    pacer.Record("h", 100ms, FetchOutcome::Failed, 429);
    EXPECT_EQ(pacer.Interval("h"), 500ms);
    pacer.Record("h", 100ms, FetchOutcome::Blocked, 200);
    EXPECT_EQ(pacer.Interval("h"), 1000ms);
    for (int i = 0; i < 10; ++i) {
        pacer.Record("h", 100ms, FetchOutcome::Failed, 429);
    }
    EXPECT_EQ(pacer.Interval("h"), HostPacer::kMaxInterval);
    pacer.Record("h", 100ms, FetchOutcome::Failed, 0);  // a fast error never speeds it up
    EXPECT_EQ(pacer.Interval("h"), HostPacer::kMaxInterval);
    for (int i = 0; i < 40; ++i) {
        pacer.Record("h", 100ms, FetchOutcome::Reply, 200);
    }
    EXPECT_EQ(pacer.Interval("h"), 100ms);
}

TEST_F(Policy, RedirectsStayOnTheOriginAndMalformedLengthsStillGiveTheBody) {
    RawHttpServer other([](int s, const std::string&) {
        RawHttpServer::SendAll(s, Reply("HTTP/1.0 200 OK", "elsewhere"));
    });
    const std::string otherUrl = other.Url("/page");
    RawHttpServer server([&](int s, const std::string& request) {
        if (request.find("GET /here") == 0) {
            RawHttpServer::SendAll(
                s, "HTTP/1.0 302 F\r\nLocation: /there\r\nContent-Length: 0\r\n\r\n");
        } else if (request.find("GET /there") == 0) {
            RawHttpServer::SendAll(s, Reply("HTTP/1.0 200 OK", "arrived"));
        } else if (request.find("GET /away") == 0) {
            RawHttpServer::SendAll(s, "HTTP/1.0 302 F\r\nLocation: " + otherUrl +
                                          "\r\nContent-Length: 5\r\n\r\nmoved");
        } else if (request.find("GET /len-abc") == 0) {
            RawHttpServer::SendAll(s, "HTTP/1.0 200 OK\r\nContent-Length: abc\r\n\r\nbody one");
        } else if (request.find("GET /len-neg") == 0) {
            RawHttpServer::SendAll(s, "HTTP/1.0 200 OK\r\nContent-Length: -5\r\n\r\nbody two");
        } else {
            RawHttpServer::SendAll(s, "HTTP/1.0 200 OK\r\nContent-Length:\r\n\r\nbody three");
        }
    });
    const FetchResult followed = HttpFetchResult(server.Url("/here"));
    EXPECT_EQ(followed.body, "arrived");
    EXPECT_EQ(followed.finalUrl, server.Url("/there"));
    const FetchResult refused = HttpFetchResult(server.Url("/away"));
    EXPECT_EQ(refused.status, 302);
    EXPECT_EQ(refused.refusedRedirect, otherUrl);
    EXPECT_EQ(other.ConnectionCount(), 0u);
    const std::pair<const char*, const char*> malformed[] = {
        {"/len-abc", "body one"}, {"/len-neg", "body two"}, {"/len-empty", "body three"}};
    for (const auto& [target, body] : malformed) {
        const FetchResult fetched = HttpFetchResult(server.Url(target));
        EXPECT_EQ(fetched.body, body) << target;
        EXPECT_EQ(ClassifyFetch(fetched), FetchOutcome::Reply) << target;
    }
}

TEST_F(Policy, DeadlineBoundsATrickleThatStaysAboveTheStallRate) {
    TransportLimits limits;
    limits.stallTimeout = 200ms;
    limits.overallDeadline = 700ms;
    SetTransportLimits(limits);
    std::atomic<bool> stop{false};
    RawHttpServer server([&](int s, const std::string&) {
        RawHttpServer::SendAll(s, "HTTP/1.0 200 OK\r\n\r\n");
        while (!stop) {
            RawHttpServer::SendAll(s, std::string(200, 'y'));
            std::this_thread::sleep_for(50ms);
        }
    });
    const auto start = Clock::now();
    const FetchResult fetched = HttpFetchResult(server.Url("/slow"));
    stop = true;
    EXPECT_EQ(fetched.error, TransportError::Deadline);
    EXPECT_LT(Clock::now() - start, 3s);
}

TEST_F(Policy, TooLongUrlIsNeverSent) {
    RawHttpServer server([](int s, const std::string&) {
        RawHttpServer::SendAll(s, Reply("HTTP/1.0 200 OK", "x"));
    });
    const PolicyFetchResult fetched =
        FetchWithPolicy(server.Url("/q=" + std::string(kMaxUrlBytes, 'a')), nullptr);
    EXPECT_EQ(fetched.last.error, TransportError::UrlTooLong);
    EXPECT_EQ(fetched.outcome, FetchOutcome::Failed);
    EXPECT_EQ(fetched.retries, 0);
    EXPECT_NE(fetched.reason.find(std::to_string(kMaxUrlBytes)), std::string::npos);
    EXPECT_EQ(server.ConnectionCount(), 0u);
}

TEST_F(Policy, ExplicitProxyCarriesEveryRequestLoopbackIncluded) {
    RawHttpServer proxy([](int s, const std::string&) {
        RawHttpServer::SendAll(s, Reply("HTTP/1.0 200 OK", "via proxy"));
    });
    FetchSettings settings;
    settings.proxy = proxy.Url("");
    SetFetchSettings(settings);
    EXPECT_EQ(HttpFetch("http://127.0.0.1:9/direct"), "via proxy");
    ASSERT_EQ(proxy.Requests().size(), 1u);
    EXPECT_EQ(proxy.Requests()[0].find("GET http://127.0.0.1:9/direct"), 0u);
}

}  // namespace
}  // namespace mofeng::net
