#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/EndpointCheck.h"
#include "cli/CheckCommand.h"
#include "cli/OutputText.h"
#include "net/LocalHttpServer.h"
#include "sim/Simulator.h"
#include "tests/sim/SkipWithoutHttps.h"

namespace mofeng::cli {
namespace {

using net::test::LocalHttpServer;

struct Checked {
    int exit = -1;
    std::string out;
    std::string err;
};

Checked Check(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    Checked checked;
    checked.exit = RunCheckCommand(args, CommandStreams{out, err, false});
    checked.out = out.str();
    checked.err = err.str();
    return checked;
}

using printed::Lines;

// The first two fields of a line: endpoint name and verdict.
std::string NameAndVerdict(const std::string& line) {
    const std::size_t second = line.find('\t', line.find('\t') + 1);
    return line.substr(0, second);
}

TEST(CheckCommand, TheSimulatorIsUsableEverywhereWithOneRequestEach) {
    sim::Simulator simulator;
    ASSERT_TRUE(simulator.Start());
    const std::string base = simulator.BaseUrl();
    const Checked checked = Check({"--search-url", base, "--index-url", base, "--suggest-url", base,
                                   "--cookie", "sess=never-printed-42", "--retries", "5"});
    EXPECT_EQ(checked.exit, kExitOk) << checked.err;
    const std::vector<std::string> lines = Lines(checked.out);
    ASSERT_EQ(lines.size(), 3u) << checked.out;
    EXPECT_EQ(NameAndVerdict(lines[0]), "搜索页\t可用");
    EXPECT_EQ(NameAndVerdict(lines[1]), "指数\t可用");
    EXPECT_EQ(NameAndVerdict(lines[2]), "联想词\t可用");
    EXPECT_NE(lines[0].find("宝贝数量 "), std::string::npos);
    const auto requests = simulator.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_NE(requests[0].target.find("q=%E5%A5%B3%E8%A3%85"), std::string::npos);
    EXPECT_EQ(checked.out.find("never-printed"), std::string::npos);
    EXPECT_EQ(checked.err.find("never-printed"), std::string::npos);

    const Checked json = Check({"--demo", "--json"});
    EXPECT_EQ(json.exit, kExitOk) << json.err;
    EXPECT_NE(json.out.find("{\"endpoint\": \"index\", \"url\": \"http://127.0.0.1:"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"verdict\": \"可用\", \"usable\": true"), std::string::npos);
}

TEST(CheckCommand, ACommandKeepsTheCookiesServersSetButTheNextStartsWithout) {
    sim::Simulator simulator;
    ASSERT_TRUE(simulator.Start());
    const std::string base = simulator.BaseUrl();
    const std::vector<std::string> args = {"--search-url",  base, "--index-url", base,
                                           "--suggest-url", base};
    ASSERT_EQ(Check(args).exit, kExitOk);
    ASSERT_EQ(Check(args).exit, kExitOk);
    const auto requests = simulator.Requests();
    ASSERT_EQ(requests.size(), 6u);
    // The simulator's first reply sets "mfsim"; the same command sends it back.
    EXPECT_NE(requests[1].cookie.find("mfsim="), std::string::npos);
    EXPECT_EQ(requests[3].cookie.find("mfsim="), std::string::npos) << requests[3].cookie;
}

TEST(CheckCommand, EachKindOfTroubleGetsItsVerdictAndExitThree) {
    LocalHttpServer troubled([](httplib::Server& routes) {
        routes.Get("/search", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/member/login.jhtml?redirect=1");
        });
        routes.Get("/member/login.jhtml", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<form>login</form>", "text/html");
        });
        routes.Get("/sug", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("jsonp12556({\"result\":[]})", "text/javascript; charset=utf-8");
        });
        // /trendindex.json is not served: 404.
    });
    LocalHttpServer changed([](httplib::Server& routes) {
        routes.Get("/search", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<html><script>g_page_config = {};</script></html>",
                            "text/html; charset=utf-8");
        });
        routes.Get("/sug", [](const httplib::Request&, httplib::Response& res) {
            res.status = 503;
            res.set_content("busy", "text/plain");
        });
    });
    const std::string troubledBase = troubled.Url("");
    const Checked first = Check(
        {"--search-url", troubledBase, "--index-url", troubledBase, "--suggest-url", troubledBase});
    EXPECT_EQ(first.exit, kExitTrouble);
    std::vector<std::string> lines = Lines(first.out);
    ASSERT_EQ(lines.size(), 3u) << first.out;
    EXPECT_EQ(NameAndVerdict(lines[0]), "搜索页\t需要登录");
    EXPECT_EQ(NameAndVerdict(lines[1]), "指数\t已停用");
    EXPECT_NE(lines[1].find("404"), std::string::npos);
    EXPECT_EQ(NameAndVerdict(lines[2]), "联想词\t格式已变");

    const std::string changedBase = changed.Url("");
    const Checked second = Check({"--search-url", changedBase, "--index-url", "http://127.0.0.1:1",
                                  "--suggest-url", changedBase, "--json"});
    EXPECT_EQ(second.exit, kExitTrouble);
    EXPECT_NE(second.out.find("\"verdict\": \"格式已变\", \"usable\": false, \"reason\": "
                              "\"搜索页中没有宝贝数量（totalHits）\""),
              std::string::npos)
        << second.out;
    EXPECT_NE(second.out.find("\"verdict\": \"无法连接\", \"usable\": false, \"reason\": "
                              "\"连接失败\""),
              std::string::npos);
    EXPECT_NE(second.out.find("\"reason\": \"服务器返回 503\""), std::string::npos);
}

TEST(CheckCommand, TheDemoOfTodaysServersShowsWhatStillWorks) {
    MOFENG_SKIP_WITHOUT_HTTPS();
    // Every request goes to the plain-HTTP port and is upgraded to HTTPS.
    const Checked anonymous = Check({"--demo", "--today"});
    EXPECT_EQ(anonymous.exit, kExitTrouble) << anonymous.err;
    std::vector<std::string> lines = Lines(anonymous.out);
    ASSERT_EQ(lines.size(), 3u) << anonymous.out;
    EXPECT_EQ(NameAndVerdict(lines[0]), "搜索页\t需要登录");
    EXPECT_EQ(NameAndVerdict(lines[1]), "指数\t已停用");
    EXPECT_EQ(NameAndVerdict(lines[2]), "联想词\t可用");
    EXPECT_NE(lines[2].find("\thttp://127.0.0.1:"), std::string::npos);

    // Logged in, the page comes but without the listing count.
    const Checked loggedIn = Check({"--demo", "--today", "--cookie", "sess=1"});
    lines = Lines(loggedIn.out);
    ASSERT_EQ(lines.size(), 3u) << loggedIn.out;
    EXPECT_EQ(NameAndVerdict(lines[0]), "搜索页\t格式已变");
}

TEST(CheckCommand, AnUnresolvedHostIsRetiredAndARedirectElsewhereIsAChangedFormat) {
    net::FetchResult unresolved;
    unresolved.error = net::TransportError::Resolve;
    EXPECT_EQ(app::JudgeEndpointReply(app::CheckedEndpoint::Index, unresolved).verdict,
              app::EndpointVerdict::Retired);
    net::FetchResult elsewhere;
    elsewhere.status = 302;
    elsewhere.finalUrl = "https://s.taobao.com/search?q=%61";
    elsewhere.refusedRedirect = "https://other.example/landing?token=abc";
    const app::EndpointCheckResult judged =
        app::JudgeEndpointReply(app::CheckedEndpoint::Search, elsewhere);
    EXPECT_EQ(judged.verdict, app::EndpointVerdict::FormatChanged);
    EXPECT_EQ(judged.reason.find("token"), std::string::npos);  // the origin only
    EXPECT_NE(judged.reason.find("https://other.example"), std::string::npos);
}

}  // namespace
}  // namespace mofeng::cli
