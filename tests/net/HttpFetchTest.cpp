#include <gtest/gtest.h>

#include <latch>
#include <thread>

#include "LocalHttpServer.h"
#include "RawHttpServer.h"
#include "net/FetchRoot.h"
#include "net/HttpFetch.h"

namespace mofeng::net {
namespace {

using test::LocalHttpServer;
using test::RawHttpServer;

void ReplyOk(int socket, const std::string&) {
    RawHttpServer::SendAll(socket, "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok");
}

std::string ExpectedRequest(const RawHttpServer& server, const std::string& target) {
    return "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) +
           "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"
           "Accept: */*\r\n\r\n";
}

TEST(HttpFetch, SendsTheFixedRequestWithTheTargetAsGiven) {
    struct Case {
        std::string suffix;  // appended to http://127.0.0.1:PORT
        std::string target;  // what must appear on the request line
    };
    const Case cases[] = {
        {"/search?initiative_id=staobaoz_20150308&js=1&q=%E8%BF%9E",
         "/search?initiative_id=staobaoz_20150308&js=1&q=%E8%BF%9E"},
        {"/trendindex.json?query=%61#lastdate", "/trendindex.json?query=%61"},
        {"/a/./b/../c?x=%7e&y=~", "/a/./b/../c?x=%7e&y=~"},
        {"/sug?q=#a#b", "/sug?q="},
        {"/a?q=\xE8\xBF\x9E&r=%zz", "/a?q=\xE8\xBF\x9E&r=%zz"},  // raw bytes are not re-encoded
        {"/a?q=\"<>|{}^`", "/a?q=\"<>|{}^`"},
        {"", "/"},
    };
    for (const Case& c : cases) {
        RawHttpServer server(ReplyOk);
        EXPECT_EQ(HttpFetch(server.Url(c.suffix)), "ok") << c.suffix;
        const auto requests = server.Requests();
        ASSERT_EQ(requests.size(), 1u) << c.suffix;
        EXPECT_EQ(requests[0], ExpectedRequest(server, c.target)) << c.suffix;
    }
}

TEST(HttpFetch, UnusableUrlsGiveEmptyAndSendNothing) {
    RawHttpServer server(ReplyOk);
    const std::string hostPort = "127.0.0.1:" + std::to_string(server.Port());
    const std::string urls[] = {
        "",
        "#fragment-only",
        hostPort + "/no-scheme",
        "ftp://" + hostPort + "/",
        "gopher://" + hostPort + "/",
        "file:///etc/hostname",
        "http://",
        "http:///path-without-host",
        // bytes that cannot appear on a request line
        "http://" + hostPort + "/with space",
        "http://" + hostPort + "/with\ttab",
        "http://" + hostPort + "/with\x7F",
        "http://" + hostPort + "/with\r\nX-Injected: 1",
    };
    for (const std::string& url : urls) {
        EXPECT_EQ(HttpFetch(url), "") << url;
    }
    EXPECT_EQ(server.ConnectionCount(), 0u);
}

TEST(HttpFetch, StatusIsIgnoredAndRedirectsAreFollowed) {
    LocalHttpServer server([](httplib::Server& routes) {
        routes.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content("<html>no such page</html>", "text/html");
        });
        routes.Get("/broken", [](const httplib::Request&, httplib::Response& res) {
            res.status = 500;
            res.set_content("server error page", "text/html");
        });
        routes.Get("/old", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/older");
        });
        routes.Get("/older", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/new?from=old", 301);
        });
        routes.Get("/new", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content("new page " + req.get_param_value("from"), "text/plain; charset=gbk");
        });
        routes.Get("/loop", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/loop");
        });
        routes.Get("/empty", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("", "text/plain");
        });
    });
    EXPECT_EQ(HttpFetch(server.Url("/missing")), "<html>no such page</html>");
    EXPECT_EQ(HttpFetch(server.Url("/broken")), "server error page");
    std::string contentType = "stale";
    EXPECT_EQ(HttpFetch(server.Url("/old"), nullptr, &contentType), "new page old");
    EXPECT_EQ(contentType, "text/plain; charset=gbk");
    EXPECT_EQ(HttpFetch(server.Url("/loop")), "");
    EXPECT_EQ(HttpFetch(server.Url("/empty")), "");
}

TEST(HttpFetch, NothingListeningGivesEmpty) {
    int port = 0;
    {
        RawHttpServer closed(ReplyOk);
        port = closed.Port();
    }
    EXPECT_EQ(HttpFetch("http://127.0.0.1:" + std::to_string(port) + "/"), "");
}

TEST(HttpFetch, ConnectionDroppedMidBodyKeepsTheBytesReceived) {
    const std::string received(400, 'x');
    RawHttpServer server([&](int socket, const std::string&) {
        RawHttpServer::SendAll(socket,
                               "HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n" + received);
    });
    std::string contentType = "stale";
    EXPECT_EQ(HttpFetch(server.Url("/page"), nullptr, &contentType), received);
    EXPECT_EQ(contentType, "");
}

// One thread's fetches share its handles: whatever ended the one before
// (a cut body, a refused redirect, no listener, a cancel), the next request
// is the same fixed request and gets its own whole reply.
TEST(HttpFetch, EachFetchOnAThreadStartsAfresh) {
    RawHttpServer cut([](int socket, const std::string&) {
        RawHttpServer::SendAll(socket, "HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\nshort");
    });
    RawHttpServer away([](int socket, const std::string&) {
        RawHttpServer::SendAll(socket,
                               "HTTP/1.0 302 Found\r\nLocation: http://127.0.0.1:1/x\r\n"
                               "Content-Length: 0\r\n\r\n");
    });
    RawHttpServer fine(ReplyOk);
    const runtime::CancelToken* none = nullptr;
    runtime::CancelToken cancelled;
    cancelled.Cancel();
    const std::pair<std::string, const runtime::CancelToken*> before[] = {
        {cut.Url("/cut"), none},
        {away.Url("/away"), none},
        {"http://127.0.0.1:1/none", none},
        {"http:///no-host", none},  // a failed name lookup
        {fine.Url("/cancelled"), &cancelled},
    };
    int fetched = 0;
    for (const auto& [url, cancel] : before) {
        SCOPED_TRACE(url);
        HttpFetch(url, cancel);
        EXPECT_EQ(HttpFetch(fine.Url("/next")), "ok");
        ++fetched;
        ASSERT_EQ(fine.Requests().size(), static_cast<std::size_t>(fetched));
        EXPECT_EQ(fine.Requests().back(), ExpectedRequest(fine, "/next"));
    }
}

TEST(HttpFetch, CookiesAreSharedAcrossThreads) {
    LocalHttpServer server([](httplib::Server& routes) {
        routes.Get("/login", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Set-Cookie", "mofeng_session=abc123; Path=/");
            res.set_content("welcome", "text/plain");
        });
        routes.Get("/whoami", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content("cookie=" + req.get_header_value("Cookie"), "text/plain");
        });
    });
    EXPECT_EQ(HttpFetch(server.Url("/whoami")), "cookie=");
    std::thread([&] { EXPECT_EQ(HttpFetch(server.Url("/login")), "welcome"); }).join();
    std::string seen;
    std::thread([&] { seen = HttpFetch(server.Url("/whoami")); }).join();
    EXPECT_EQ(seen, "cookie=mofeng_session=abc123");
}

TEST(HttpFetch, SimultaneousFirstFetchesShareOneRoot) {
    LocalHttpServer server([](httplib::Server& routes) {
        routes.Get("/ping", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("pong", "text/plain");
        });
    });
    constexpr int kThreads = 8;
    std::latch start(kThreads);
    std::vector<std::string> bodies(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            start.arrive_and_wait();
            bodies[i] = HttpFetch(server.Url("/ping"));
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(FetchRootCreationCount(), 1u);
    for (const auto& body : bodies) {
        EXPECT_EQ(body, "pong");
    }
}

}  // namespace
}  // namespace mofeng::net
