#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "RawHttpClient.h"
#include "runtime/CodePage.h"
#include "sim/Simulator.h"
#include "sim/TextEscape.h"

using mofeng::sim::Simulator;
using mofeng::sim::SimulatorOptions;
using mofeng::sim::test::kClientHeaders;
using mofeng::sim::test::RawConnection;
using mofeng::sim::test::RawGet;
using mofeng::sim::test::RawReply;

namespace {

std::string SearchTarget(const std::string& keyword) {
    return "/search?initiative_id=staobaoz_20150308&js=1&q=" + mofeng::sim::PercentEncode(keyword);
}
std::string TrendTarget(const std::string& keyword) {
    return "/trendindex.json?query=" + mofeng::sim::PercentEncode(keyword);
}
std::string SuggestTarget(const std::string& keyword) {
    return "/sug?code=utf-8&q=" + mofeng::sim::PercentEncode(keyword) +
           "&_ksTS=1391415790937_12555&callback=jsonp12556&k=1&area=c2c&bucketid=19";
}

template <typename Set>
SimulatorOptions Options(Set set) {
    SimulatorOptions options;
    set(options);
    return options;
}

std::vector<std::smatch> AllMatches(const std::string& text, const std::regex& pattern) {
    return {std::sregex_iterator(text.begin(), text.end(), pattern), std::sregex_iterator()};
}

std::string AsciiLower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return c < 0x80 ? std::tolower(c) : c; });
    return text;
}

// The first keyword "裙N" for which predicate holds.
template <typename Predicate>
std::string FindKeyword(Predicate predicate) {
    for (int i = 0; i < 10000; ++i) {
        const std::string keyword = "裙" + std::to_string(i);
        if (predicate(keyword)) {
            return keyword;
        }
    }
    ADD_FAILURE() << "no such keyword";
    return {};
}

class SimulatorServer : public ::testing::Test {
protected:
    Simulator& Start(SimulatorOptions options = {}) {
        m_simulators.push_back(std::make_unique<Simulator>(std::move(options)));
        EXPECT_TRUE(m_simulators.back()->Start());
        return *m_simulators.back();
    }

private:
    std::vector<std::unique_ptr<Simulator>> m_simulators;
};

const std::regex kTotalHits(R"re("totalHits":"(\d+)",)re");
const std::regex kRelated(R"re(<a trace="relatedSearch" href=".*?">(.*?)</a>)re");
const std::regex kTrend(R"re((\d+),(\d+),(\d+),(\d+),(\d+),(\d+),(\d+),0\],"lastdate":")re");
const std::regex kSuggest(R"re(\["(.*?)","\d+")re");

}  // namespace

TEST_F(SimulatorServer, SearchPageCarriesTheCountAndTheRelatedLinks) {
    Simulator& sim = Start(Options([&](SimulatorOptions& o) { o.seed = 5; }));
    std::vector<std::string> keywords = {"连衣裙", "abc", "雪纺连衣裙女", "a<b>&\"c"};
    keywords.push_back(FindKeyword([&](auto& k) { return sim.ExpectedRelated(k).empty(); }));
    keywords.push_back(FindKeyword([&](auto& k) { return sim.ExpectedListingCount(k) == 0; }));
    keywords.push_back(FindKeyword([&](auto& k) { return sim.ExpectedListingCount(k) > 1000000; }));
    for (const std::string& keyword : keywords) {
        SCOPED_TRACE(keyword);
        const RawReply reply = RawGet(sim.Port(), SearchTarget(keyword));
        ASSERT_EQ(reply.status, 200);
        ASSERT_TRUE(reply.Complete());
        EXPECT_EQ(reply.Header("Content-Type"), "text/html; charset=gbk");
        EXPECT_NE(reply.body.find("<meta charset=\"gbk\">"), std::string::npos);
        EXPECT_GE(reply.body.size(), 100u * 1024);
        EXPECT_LE(reply.body.size(), 240u * 1024);

        std::smatch hits;
        ASSERT_TRUE(std::regex_search(reply.body, hits, kTotalHits));
        EXPECT_EQ(std::stoll(hits[1]), sim.ExpectedListingCount(keyword));
        // A reader that takes the first "totalHits" in any case gets this one.
        EXPECT_EQ(AsciiLower(reply.body).find("totalhits"),
                  static_cast<std::size_t>(hits.position(0)) + 1);

        std::vector<std::string> related;
        for (const std::smatch& m : AllMatches(reply.body, kRelated)) {
            related.push_back(mofeng::runtime::GbkToUtf8(m[1].str()));
        }
        EXPECT_EQ(related, sim.ExpectedRelated(keyword));
    }
}

TEST_F(SimulatorServer, TrendReplyMatchesTheSeriesPatternOnceOrNotAtAll) {
    Simulator& sim = Start(Options([&](SimulatorOptions& o) { o.seed = 5; }));
    const std::vector<std::string> keywords = {
        "连衣裙", "abc", FindKeyword([&](auto& k) { return !sim.ExpectedSeries(k).has_value(); }),
        FindKeyword([&](auto& k) {
            const auto s = sim.ExpectedSeries(k);
            return s && std::find(s->begin(), s->end(), 0) != s->end();
        })};
    for (const std::string& keyword : keywords) {
        SCOPED_TRACE(keyword);
        const RawReply reply = RawGet(sim.Port(), TrendTarget(keyword));
        ASSERT_EQ(reply.status, 200);
        ASSERT_TRUE(reply.Complete());
        EXPECT_TRUE(mofeng::runtime::IsValidUtf8(reply.body));
        const auto matches = AllMatches(reply.body, kTrend);
        const auto expected = sim.ExpectedSeries(keyword);
        if (!expected) {
            EXPECT_TRUE(matches.empty());
            continue;
        }
        ASSERT_EQ(matches.size(), 1u);
        for (int day = 0; day < 7; ++day) {
            EXPECT_EQ(std::stoll(matches[0][day + 1]), (*expected)[static_cast<std::size_t>(day)]);
        }
        EXPECT_NE(reply.body.find("0],\"lastdate\":\"" + sim.Data().LastDate() + "\""),
                  std::string::npos);
    }
}

TEST_F(SimulatorServer, SuggestReplyIsJsonpWithTheExpectedEntries) {
    Simulator& sim = Start(Options([&](SimulatorOptions& o) { o.seed = 5; }));
    const std::string bold = FindKeyword([&](auto& k) {
        const auto entries = sim.ExpectedSuggestions(k);
        return std::any_of(entries.begin(), entries.end(),
                           [](auto& e) { return e.shown.find("<b>") != std::string::npos; });
    });
    const std::string none =
        FindKeyword([&](auto& k) { return sim.ExpectedSuggestions(k).empty(); });
    for (const std::string& keyword : {std::string("连衣裙"), bold, none}) {
        SCOPED_TRACE(keyword);
        const RawReply reply = RawGet(sim.Port(), SuggestTarget(keyword));
        ASSERT_EQ(reply.status, 200);
        ASSERT_TRUE(reply.Complete());
        EXPECT_EQ(reply.body.rfind("jsonp12556({\"result\":[", 0), 0u);
        EXPECT_EQ(reply.body.substr(reply.body.size() - 3), "]})");
        std::vector<std::string> shown;
        for (const std::smatch& m : AllMatches(reply.body, kSuggest)) {
            shown.push_back(m[1]);
        }
        std::vector<std::string> expected;
        for (const auto& entry : sim.ExpectedSuggestions(keyword)) {
            expected.push_back(entry.shown);
        }
        EXPECT_EQ(shown, expected);
    }
}

TEST_F(SimulatorServer, SameSeedGivesTheSameBytesAndAnotherSeedOtherData) {
    Simulator& a = Start(Options([&](SimulatorOptions& o) { o.seed = 11; }));
    Simulator& b = Start(Options([&](SimulatorOptions& o) { o.seed = 11; }));
    Simulator& c = Start(Options([&](SimulatorOptions& o) { o.seed = 12; }));
    int differ = 0;
    for (const std::string& keyword : {std::string("连衣裙"), std::string("半身裙夏")}) {
        for (const std::string& target :
             {SearchTarget(keyword), TrendTarget(keyword), SuggestTarget(keyword)}) {
            const std::string body = RawGet(a.Port(), target).body;
            EXPECT_EQ(body, RawGet(b.Port(), target).body) << target;
            differ += body != RawGet(c.Port(), target).body;
        }
    }
    EXPECT_EQ(differ, 6);
    // Letters arrive percent-encoded like every other byte.
    EXPECT_EQ(RawGet(a.Port(), "/search?initiative_id=staobaoz_20150308&js=1&q=%61%62%63").body,
              RawGet(a.Port(), "/search?initiative_id=staobaoz_20150308&js=1&q=abc").body);
}

TEST_F(SimulatorServer, AnythingElseGets404WithAPage) {
    Simulator& sim =
        Start(Options([&](SimulatorOptions& o) { o.failRate = 1; }));  // faults never hide a 404
    for (const std::string& target :
         {std::string("/"), std::string("/search?q=abc"), std::string("/trendindex.json"),
          std::string("/favicon.ico"), std::string("/sug?q=abc")}) {
        const RawReply reply = RawGet(sim.Port(), target);
        EXPECT_EQ(reply.status, 404) << target;
        EXPECT_TRUE(reply.Complete());
        EXPECT_NE(reply.body.find("404"), std::string::npos);
    }
    RawConnection post(sim.Port());
    ASSERT_TRUE(post.Send("POST", TrendTarget("abc"), "Content-Length: 0\r\n"));
    EXPECT_EQ(post.ReadHeaders().status, 404);
}

TEST_F(SimulatorServer, RecordsAndLogShowTheRequestsAndTheCookieRoundTrip) {
    const std::string logPath = ::testing::TempDir() + "mofeng-sim-test.log";
    Simulator& sim = Start(Options([&](SimulatorOptions& o) {
        o.seed = 3;
        o.logPath = logPath;
    }));
    const RawReply first = RawGet(sim.Port(), TrendTarget("裙"));
    const std::string cookie = first.Header("Set-Cookie");
    ASSERT_EQ(cookie.rfind("mfsim=", 0), 0u);
    EXPECT_NE(cookie.find("; Path=/"), std::string::npos);
    const std::string pair = cookie.substr(0, cookie.find(';'));
    const RawReply second =
        RawGet(sim.Port(), SuggestTarget("裙"),
               std::string(kClientHeaders) + "Accept: */*\r\nCookie: " + pair + "\r\n");
    EXPECT_EQ(second.Header("Set-Cookie"), "");
    RawGet(sim.Port(), "/nothing", "");

    const auto records = sim.Requests();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(sim.RequestCount(), 3u);
    EXPECT_EQ(records[0].target, TrendTarget("裙"));
    EXPECT_EQ(records[0].version, "HTTP/1.0");
    EXPECT_EQ(records[0].userAgent, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
    EXPECT_EQ(records[0].accept, std::vector<std::string>{"*/*"});
    EXPECT_EQ(records[0].cookie, "");
    EXPECT_EQ(records[1].accept, (std::vector<std::string>{"*/*", "*/*"}));
    EXPECT_EQ(records[1].cookie, pair);
    EXPECT_EQ(records[2].outcome, "not-found");

    std::ifstream log(logPath);
    std::vector<std::string> lines;
    double previous = 0;
    for (std::string line; std::getline(log, line);) {
        // Each line starts with its arrival time, in seconds, never going back.
        const std::size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos);
        const double seconds = std::stod(line.substr(0, tab));
        EXPECT_GE(seconds, previous);
        previous = seconds;
        lines.push_back(line.substr(tab + 1));
    }
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0],
              "GET\t" + TrendTarget("裙") +
                  "\tHTTP/1.0\tMozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\t*/*\t-\tok"
                  "\tconn=1");
    // Plain HTTP: one connection per request, numbered in arrival order.
    EXPECT_NE(lines[1].find("\t*/* | */*\t" + pair + "\tok\tconn=2"), std::string::npos);
    EXPECT_EQ(lines[2], "GET\t/nothing\tHTTP/1.0\t-\t-\t-\tnot-found\tconn=3");
}

TEST_F(SimulatorServer, RateLimitBlockAfterAndRequiredCookie) {
    Simulator& limited = Start(Options([](SimulatorOptions& o) { o.rateLimit = 2; }));
    std::vector<int> statuses;
    for (int i = 0; i < 4; ++i) {
        statuses.push_back(RawGet(limited.Port(), TrendTarget("裙")).status);
    }
    EXPECT_EQ(statuses, (std::vector<int>{200, 200, 429, 429}));
    EXPECT_EQ(RawGet(limited.Port(), TrendTarget("裙")).Header("Retry-After"), "1");

    Simulator& blocking = Start(Options([](SimulatorOptions& o) { o.blockAfter = 2; }));
    const std::string target = SuggestTarget("裙");
    EXPECT_EQ(RawGet(blocking.Port(), target).status, 200);
    RawGet(blocking.Port(), "/nothing");  // not an endpoint request: not counted
    EXPECT_EQ(RawGet(blocking.Port(), target).status, 200);
    const RawReply third = RawGet(blocking.Port(), target);
    EXPECT_EQ(third.status, 302);
    EXPECT_EQ(third.Header("Location").rfind("/member/login.jhtml", 0), 0u);
    EXPECT_EQ(RawGet(blocking.Port(), "/member/login.jhtml?redirect=1").status, 200);
    EXPECT_EQ(blocking.Requests().back().outcome, "login");

    Simulator& guarded = Start(Options([](SimulatorOptions& o) { o.requireCookie = "sess=ok"; }));
    EXPECT_EQ(RawGet(guarded.Port(), target).status, 302);
    const std::string withCookie = std::string(kClientHeaders) + "Cookie: a=1; sess=ok\r\n";
    EXPECT_EQ(RawGet(guarded.Port(), target, withCookie).status, 200);
    const std::string wrongCookie = std::string(kClientHeaders) + "Cookie: sess=okay\r\n";
    EXPECT_EQ(RawGet(guarded.Port(), target, wrongCookie).status, 302);
    EXPECT_EQ(guarded.Requests()[1].cookie, "a=1; sess=ok");
}

TEST_F(SimulatorServer, SuggestionCountsComeAsIntegersOrDecimals) {
    Simulator& integer = Start();
    Simulator& decimal = Start(Options([](SimulatorOptions& o) { o.decimalCounts = true; }));
    const std::string keyword = FindKeyword(
        [&](const std::string& k) { return integer.ExpectedSuggestions(k).size() >= 2; });
    const std::string plain = RawGet(integer.Port(), SuggestTarget(keyword)).body;
    const std::string fractional = RawGet(decimal.Port(), SuggestTarget(keyword)).body;
    const std::regex decimalEntry(R"re(\["[^"]*","\d+\.\d+"\])re");
    EXPECT_EQ(AllMatches(plain, decimalEntry).size(), 0u);
    EXPECT_EQ(AllMatches(fractional, decimalEntry).size(),
              integer.ExpectedSuggestions(keyword).size());
    EXPECT_EQ(fractional, RawGet(decimal.Port(), SuggestTarget(keyword)).body);  // deterministic
}

TEST_F(SimulatorServer, FaultsHitTheConfiguredShareOfRequests) {
    Simulator& faulty = Start(Options([&](SimulatorOptions& o) {
        o.seed = 21;
        o.failRate = 0.1;
        o.dropRate = 0.1;
        o.garbageRate = 0.1;
    }));
    Simulator& clean = Start(Options([&](SimulatorOptions& o) { o.seed = 21; }));
    int fail = 0, drop = 0, garbage = 0, normal = 0;
    const int n = 300;
    for (int i = 0; i < n; ++i) {
        const std::string target = TrendTarget("裙" + std::to_string(i));
        const RawReply reply = RawGet(faulty.Port(), target);
        const std::string full = RawGet(clean.Port(), target).body;
        std::string seen;
        if (reply.status == 500) {
            seen = "fail";
            ++fail;
            EXPECT_NE(reply.body.find("<html>"), std::string::npos);
        } else if (!reply.Complete()) {
            seen = "drop";
            ++drop;
            ASSERT_TRUE(reply.contentLength.has_value());
            EXPECT_EQ(*reply.contentLength, full.size());
            EXPECT_LT(reply.body.size(), full.size());
            EXPECT_EQ(full.compare(0, reply.body.size(), reply.body), 0);  // a true prefix
        } else if (reply.body != full) {
            seen = "garbage";
            ++garbage;
            EXPECT_EQ(reply.status, 200);
            EXPECT_NE(reply.body.find('\0'), std::string::npos);
            EXPECT_FALSE(mofeng::runtime::IsValidUtf8(reply.body));
        } else {
            seen = "ok";
            ++normal;
        }
        EXPECT_EQ(faulty.Requests().back().outcome, seen) << i;
    }
    for (int count : {fail, drop, garbage}) {
        EXPECT_GE(count, 15);
        EXPECT_LE(count, 50);
    }
    EXPECT_EQ(fail + drop + garbage + normal, n);
}

TEST_F(SimulatorServer, StopReturnsWhileRepliesAreStalledOrDelayed) {
    Simulator& sim = Start(Options([&](SimulatorOptions& o) { o.stallRate = 1; }));
    RawConnection stalled(sim.Port());
    ASSERT_TRUE(stalled.Send("GET", SuggestTarget("裙"), kClientHeaders));
    RawReply reply = stalled.ReadHeaders();  // the headers do arrive
    EXPECT_EQ(reply.status, 200);
    ASSERT_TRUE(reply.contentLength.has_value());
    EXPECT_GT(*reply.contentLength, 0u);

    // Stalled replies hold no worker that other requests need.
    std::vector<std::unique_ptr<RawConnection>> more;
    for (int i = 0; i < 24; ++i) {
        more.push_back(std::make_unique<RawConnection>(sim.Port()));
        ASSERT_TRUE(more.back()->Send("GET", TrendTarget(std::to_string(i)), kClientHeaders));
        EXPECT_EQ(more.back()->ReadHeaders().status, 200);
    }
    more.resize(12);  // some clients give up
    EXPECT_EQ(RawGet(sim.Port(), "/elsewhere").status, 404);

    sim.Stop();
    stalled.ReadToEnd(reply);
    EXPECT_TRUE(reply.body.empty());
    EXPECT_EQ(sim.Requests().back().outcome, "not-found");

    Simulator& slow = Start(Options([&](SimulatorOptions& o) { o.latencyMs = 600000; }));
    RawConnection waiting(slow.Port());
    ASSERT_TRUE(waiting.Send("GET", TrendTarget("裙"), kClientHeaders));
    while (slow.RequestCount() == 0) {
        std::this_thread::yield();
    }
    slow.Stop();
    EXPECT_FALSE(waiting.ReadHeaders().Complete());
}

TEST_F(SimulatorServer, SettleWaitsForRequestsTheirClientsLeftBehind) {
    Simulator& sim = Start(Options([&](SimulatorOptions& o) { o.latencyMs = 50; }));
    // Clients that send a request and go at once: the simulator may not
    // have started on any of them yet.
    for (int i = 0; i < 8; ++i) {
        RawConnection gone(sim.Port());
        ASSERT_TRUE(gone.Send("GET", TrendTarget(std::to_string(i)), kClientHeaders));
    }
    ASSERT_TRUE(sim.Settle());
    EXPECT_EQ(sim.RequestCount(), 8u);
    // Its own connection is no request.
    ASSERT_TRUE(sim.Settle());
    EXPECT_EQ(sim.RequestCount(), 8u);
    EXPECT_EQ(sim.Requests().size(), 8u);

    // Over TLS too, once no client keeps a connection open.
    Simulator& tls = Start(Options([&](SimulatorOptions& o) { o.testAuthority = true; }));
    EXPECT_TRUE(tls.Settle());
    EXPECT_EQ(tls.RequestCount(), 0u);
}

TEST_F(SimulatorServer, RefusesAPortInUseAndRestartsAfterStop) {
    Simulator& first = Start();
    Simulator second(Options([&](SimulatorOptions& o) { o.port = first.Port(); }));
    EXPECT_FALSE(second.Start());
    EXPECT_FALSE(Simulator(Options([&](SimulatorOptions& o) { o.fanout = 0; })).Start());

    first.Stop();
    first.Stop();  // harmless
    ASSERT_TRUE(first.Start());
    EXPECT_EQ(RawGet(first.Port(), TrendTarget("裙")).status, 200);
    EXPECT_EQ(first.BaseUrl(), "http://127.0.0.1:" + std::to_string(first.Port()));
}
