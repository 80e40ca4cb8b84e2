#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/CodePage.h"
#include "sim/FaultPlan.h"
#include "sim/RequestRecord.h"
#include "sim/RequestTarget.h"
#include "sim/SimulatorProgram.h"
#include "sim/TextEscape.h"

using namespace mofeng::sim;

TEST(RouteTarget, ServesExactlyTheThreeEndpoints) {
    struct Case {
        std::string target;
        Endpoint endpoint;
        std::string keyword;
    };
    const Case cases[] = {
        {"/search?initiative_id=staobaoz_20150308&js=1&q=%E8%BF%9E%E8%A1%A3%E8%A3%99",
         Endpoint::Search, "连衣裙"},
        {"/search?initiative_id=staobaoz_20150308&js=1&q=%61%62%63", Endpoint::Search, "abc"},
        {"/search?initiative_id=staobaoz_20150308&js=1&q=", Endpoint::Search, ""},
        {"/search?q=a+b%2B&js=1&initiative_id=staobaoz_20150308", Endpoint::Search, "a b+"},
        {"/search?initiative_id=staobaoz_20150308&js=1&q=%E8%zz", Endpoint::Search, "\xE8%zz"},
        {"/search?initiative_id=other&js=1&q=abc", Endpoint::None, ""},
        {"/search?initiative_id=staobaoz_20150308&q=abc", Endpoint::None, ""},
        {"/search?initiative_id=staobaoz_20150308&js=1", Endpoint::None, ""},
        {"/trendindex.json?query=%E8%A3%99", Endpoint::Trend, "裙"},
        {"/trendindex.json", Endpoint::None, ""},
        {"/trendindex.jsonp?query=a", Endpoint::None, ""},
        {"/sug?code=utf-8&q=%E8%A3%99&_ksTS=1391415790937_12555&callback=jsonp12556&k=1"
         "&area=c2c&bucketid=19",
         Endpoint::Suggest, "裙"},
        {"/sug?q=abc", Endpoint::None, ""},
        {"/", Endpoint::None, ""},
        {"/search/?initiative_id=staobaoz_20150308&js=1&q=a", Endpoint::None, ""},
    };
    for (const Case& c : cases) {
        const RoutedRequest routed = RouteTarget(c.target);
        EXPECT_EQ(routed.endpoint, c.endpoint) << c.target;
        if (c.endpoint != Endpoint::None) {
            EXPECT_EQ(routed.keyword, c.keyword) << c.target;
        }
    }
    EXPECT_EQ(RouteTarget("/sug?code=utf-8&q=a&callback=jsonp12556").callback, "jsonp12556");
    EXPECT_EQ(RouteTarget("/sug?code=utf-8&q=a&callback=%3Cscript%3Ex(1)").callback, "scriptx1");
}

TEST(TextEscape, KeywordsAreMadeSafeForEveryReply) {
    EXPECT_EQ(NormalizeKeyword("a\tb\x7F"), "a b ");
    EXPECT_EQ(NormalizeKeyword("\xE8\xBF"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // truncated sequence
    EXPECT_EQ(NormalizeKeyword("连衣裙"), "连衣裙");
    EXPECT_EQ(HtmlTextForGbk("<a href=\"x\">&</a>"), "&lt;a href=&quot;x&quot;&gt;&amp;&lt;/a&gt;");
    EXPECT_EQ(HtmlTextForGbk("裙\xE2\x82\xAC\xF0\x9F\x98\x80"),
              "裙\xE2\x82\xAC&#128512;");  // the euro sign is GBK (0x80) here
    EXPECT_EQ(mofeng::runtime::Utf8ToGbk(HtmlTextForGbk("\xF0\x9F\x98\x80")), "&#128512;");
    EXPECT_EQ(JsonStringContent("a\"b\\c/d\x01"), "a\\\"b\\\\c\\/d\\u0001");
    EXPECT_EQ(PercentEncode("a b/连"), "a%20b%2F%E8%BF%9E");
    EXPECT_EQ(PercentDecode(PercentEncode("a b/连")), "a b/连");
    EXPECT_EQ(PercentDecode("%4"), "%4");
}

TEST(FaultPlan, RatesAreHonouredAndRepeatable) {
    const FaultRates rates{0.05, 0.10, 0.02, 0.20};
    int fail = 0, drop = 0, stall = 0, garbage = 0;
    const int n = 20000;
    for (int i = 1; i <= n; ++i) {
        const Outcome outcome = DecideFault(42, static_cast<std::uint64_t>(i), rates);
        ASSERT_EQ(outcome, DecideFault(42, static_cast<std::uint64_t>(i), rates));
        fail += outcome == Outcome::Fail;
        drop += outcome == Outcome::Drop;
        stall += outcome == Outcome::Stall;
        garbage += outcome == Outcome::Garbage;
    }
    EXPECT_NEAR(fail, 0.05 * n, 0.01 * n);
    EXPECT_NEAR(drop, 0.10 * n, 0.01 * n);
    EXPECT_NEAR(stall, 0.02 * n, 0.01 * n);
    EXPECT_NEAR(garbage, 0.20 * n, 0.01 * n);
    for (int i = 1; i <= 1000; ++i) {
        EXPECT_EQ(DecideFault(1, static_cast<std::uint64_t>(i), FaultRates{}), Outcome::Normal);
        EXPECT_EQ(DecideFault(1, static_cast<std::uint64_t>(i), FaultRates{0, 0, 1, 0}),
                  Outcome::Stall);
    }
}

TEST(FaultPlan, DroppedAndGarbageBodiesLookBroken) {
    for (std::uint64_t i = 1; i <= 200; ++i) {
        const std::size_t size = 2 + i * 37;
        const std::size_t cut = DropCut(9, i, size);
        EXPECT_GE(cut, 1u);
        EXPECT_LT(cut, size);
        const std::string garbage = GarbageBody(9, i);
        EXPECT_GE(garbage.size(), 256u);
        EXPECT_NE(garbage.find('\0'), std::string::npos);
        EXPECT_FALSE(mofeng::runtime::IsValidUtf8(garbage));
    }
    EXPECT_EQ(DropCut(9, 1, 1), 0u);
}

TEST(RequestRecord, LogLineShowsEveryAcceptHeaderAndMissingOnesAsDash) {
    RequestRecord record;
    record.method = "GET";
    record.target = "/sug?q=%61";
    record.version = "HTTP/1.0";
    record.userAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
    record.accept = {"*/*", "*/*"};
    record.outcome = "ok";
    record.seconds = 1.25;
    EXPECT_EQ(FormatLogLine(record),
              "1.250\tGET\t/sug?q=%61\tHTTP/1.0\tMozilla/4.0 (compatible; MSIE 6.0; Windows NT "
              "5.0)\t*/* | */*\t-\tok");
    record.userAgent.clear();
    record.accept.clear();
    record.cookie = "mfsim=1\tx";
    EXPECT_EQ(FormatLogLine(record), "1.250\tGET\t/sug?q=%61\tHTTP/1.0\t-\t-\tmfsim=1 x\tok");
}

TEST(SimulatorArguments, AcceptsTheDocumentedOptionsOnly) {
    struct Case {
        std::vector<std::string> arguments;
        bool ok;
    };
    const Case cases[] = {
        {{}, true},
        {{"--port", "8080", "--seed", "18446744073709551615", "--fanout=3"}, true},
        {{"--fail-rate", "0.1", "--drop-rate=0.2", "--stall-rate", "0", "--garbage-rate", "1e-1"},
         true},
        {{"--log", "/tmp/x.log", "--latency-ms", "25"}, true},
        {{"--port", "65536"}, false},
        {{"--port", "-1"}, false},
        {{"--port", "80x"}, false},
        {{"--seed", "-3"}, false},
        {{"--fanout", "0"}, false},
        {{"--fail-rate", "1.5"}, false},
        {{"--fail-rate", "0.6", "--drop-rate", "0.6"}, false},  // more than all requests
        {{"--fail-rate", "nan"}, false},
        {{"--port"}, false},
        {{"--verbose"}, false},
        {{"--rate-limit", "5", "--block-after", "100", "--require-cookie", "sess=1",
          "--suggest-counts", "decimal"},
         true},
        {{"--rate-limit", "-1"}, false},
        {{"--rate-limit", "5/s"}, false},
        {{"--require-cookie", "sess"}, false},
        {{"--require-cookie", "a=1; b=2"}, false},
        {{"--suggest-counts", "float"}, false},
        {{"--tls-cert", "c.pem", "--tls-key", "k.pem", "--upgrade-port", "0"}, true},
        {{"--tls-cert", "c.pem"}, false},     // a certificate without its key
        {{"--upgrade-port", "8080"}, false},  // an upgrade needs TLS
        {{"--today"}, true},
        {{"--today", "--upgrade-port", "70000"}, false},
    };
    for (const Case& c : cases) {
        const ParsedArguments parsed = ParseSimulatorArguments(c.arguments);
        EXPECT_EQ(parsed.error.empty(), c.ok)
            << (c.arguments.empty() ? "" : c.arguments[0]) << ": " << parsed.error;
    }
    const ParsedArguments parsed =
        ParseSimulatorArguments({"--port=0", "--seed", "99", "--drop-rate", "0.25", "--help"});
    EXPECT_TRUE(parsed.help);
    EXPECT_FALSE(parsed.version);
    EXPECT_TRUE(ParseSimulatorArguments({"--seed", "3", "--version"}).version);
    EXPECT_EQ(parsed.options.seed, 99u);
    EXPECT_DOUBLE_EQ(parsed.options.dropRate, 0.25);
    // --today serves HTTPS with its own authority and an upgrade port.
    const SimulatorOptions today = ParseSimulatorArguments({"--today"}).options;
    EXPECT_TRUE(today.today);
    EXPECT_TRUE(today.testAuthority);
    EXPECT_EQ(today.upgradePort, 0);
}
