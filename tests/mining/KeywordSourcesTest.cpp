#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CraftedEndpoints.h"
#include "mining/KeywordSources.h"
#include "runtime/CodePage.h"
#include "sim/Simulator.h"

namespace mofeng::mining {
namespace {

using runtime::GbkToUtf8;
using runtime::Utf8ToGbk;

std::vector<std::string> ToUtf8(const std::vector<std::string>& gbk) {
    std::vector<std::string> utf8;
    for (const std::string& text : gbk) {
        utf8.push_back(GbkToUtf8(text));
    }
    return utf8;
}

struct ParseCase {
    const char* name;
    std::string text;                   // UTF-8 source; converted to GBK unless rawGbk
    std::vector<std::string> expected;  // UTF-8
};

TEST(KeywordSources, RelatedLinksAreTakenAsCaptured) {
    const std::string link = "<a trace=\"relatedSearch\" href=\"/s?q=1\">";
    const std::vector<ParseCase> cases = {
        {"in page order with repeats",
         link + "连衣裙</a>\n" + link + "长裙</a>" + link + "连衣裙</a>",
         {"连衣裙", "长裙", "连衣裙"}},
        {"tag and attribute names in capitals",
         "<A TRACE=\"relatedSearch\" HREF=\"/x\">碎花裙</A>",
         {"碎花裙"}},
        {"a link text across a line break", link + "连衣\n裙</a>", {}},
        {"markup and entities are not removed",
         link + "<b>裙</b> &amp; 夏</a>",
         {"<b>裙</b> &amp; 夏"}},
        {"empty link text", link + "</a>", {""}},
        {"other anchors", "<a trace=\"srp\" href=\"/x\">裙</a>", {}},
        {"no page", "", {}},
    };
    for (const ParseCase& c : cases) {
        EXPECT_EQ(ToUtf8(RelatedCandidatesFromPage(Utf8ToGbk(c.text))), c.expected) << c.name;
    }
}

TEST(KeywordSources, RelatedPageEndsAtNulByte) {
    const std::string page = "<a trace=\"relatedSearch\" href=\"/x\">a</a>" + std::string(1, '\0') +
                             "<a trace=\"relatedSearch\" href=\"/x\">b</a>";
    EXPECT_EQ(RelatedCandidatesFromPage(page), std::vector<std::string>{"a"});
}

TEST(KeywordSources, SuggestionEntriesLoseOnlyTheBoldTags) {
    const std::vector<ParseCase> cases = {
        {"bold tail",
         R"(cb({"result":[["连衣裙<b>夏<\/b>","12"],["裙","3"]]}))",
         {"连衣裙夏", "裙"}},
        {"tags in capitals", R"([["<B>长</B>裙<\/B>","1"])", {"长</B>裙"}},
        {"other escapes stay", R"([["a\"b\u4e00\/c","7"])", {R"(a\"b\u4e00\/c)"}},
        {"count that is not digits", R"([["裙","x1"])", {}},
        {"entry across a line break", "[[\"长\n裙\",\"1\"]", {}},
        {"repeats stay", R"([["裙","1"],["裙","2"])", {"裙", "裙"}},
    };
    for (const ParseCase& c : cases) {
        EXPECT_EQ(ToUtf8(SuggestionCandidatesFromText(Utf8ToGbk(c.text))), c.expected) << c.name;
    }
}

TEST(KeywordSources, SuggestionReplyIsCutAtNulThenConverted) {
    const std::string body = R"([["连衣裙","1"],)" + std::string(1, '\0') + R"(["长裙","2"])";
    EXPECT_EQ(ToUtf8(SuggestionCandidatesFromText(SuggestionReplyText(body))),
              std::vector<std::string>{"连衣裙"});
}

TEST(KeywordSources, RequestsCarryTheEncodedKeywordAndFixedTail) {
    test::CraftedEndpoints server;
    server.SetRelated("abc", {"abc 裙"});
    server.SetSuggestions("连衣裙", {"连衣裙<b>夏<\\/b>"});

    EXPECT_EQ(ToUtf8(RelatedSearchKeywords(server.Config(), "abc")),
              std::vector<std::string>{"abc 裙"});
    EXPECT_EQ(ToUtf8(SuggestionKeywords(server.Config(), Utf8ToGbk("连衣裙"))),
              std::vector<std::string>{"连衣裙夏"});
    EXPECT_TRUE(SuggestionKeywords(server.Config(), "").empty());

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].target, "/search?initiative_id=staobaoz_20150308&js=1&q=%61%62%63");
    EXPECT_EQ(requests[1].target,
              "/sug?code=utf-8&q=%E8%BF%9E%E8%A1%A3%E8%A3%99"
              "&_ksTS=1391415790937_12555&callback=jsonp12556&k=1&area=c2c&bucketid=19");
    EXPECT_EQ(requests[2].target,
              "/sug?code=utf-8&q="
              "&_ksTS=1391415790937_12555&callback=jsonp12556&k=1&area=c2c&bucketid=19");
}

TEST(KeywordSources, SearchPageDeclaredUtf8IsConverted) {
    test::CraftedEndpoints server;
    const std::string link = "<a trace=\"relatedSearch\" href=\"/x\">";
    server.SetSearchReply("u", link + "连衣裙</a>", "text/html; charset=UTF-8");
    server.SetSearchReply("g", Utf8ToGbk(link + "连衣裙</a>"), "text/html");
    server.SetSearchReply("nul", link + "a</a>" + std::string(1, '\0') + link + "b</a>",
                          "text/html");
    for (const char* keyword : {"u", "g"}) {
        EXPECT_EQ(ToUtf8(RelatedSearchKeywords(server.Config(), keyword)),
                  std::vector<std::string>{"连衣裙"})
            << keyword;
    }
    EXPECT_EQ(RelatedSearchKeywords(server.Config(), "nul"), std::vector<std::string>{"a"});
}

TEST(KeywordSources, FailedFetchGivesNoCandidates) {
    net::EndpointConfig config;
    config.searchBase = "http://127.0.0.1:1";
    config.suggestBase = "http://127.0.0.1:1";
    EXPECT_TRUE(RelatedSearchKeywords(config, "a").empty());
    EXPECT_TRUE(SuggestionKeywords(config, "a").empty());
}

TEST(KeywordSources, SimulatorRepliesGiveItsKeywords) {
    sim::Simulator simulator;
    ASSERT_TRUE(simulator.Start());
    net::EndpointConfig config;
    config.searchBase = simulator.BaseUrl();
    config.suggestBase = simulator.BaseUrl();
    int related = 0;
    int suggested = 0;
    for (const std::string keyword : {"连衣裙", "碎花连衣裙 夏", "a", "雪纺长款 女"}) {
        const std::vector<std::string> links = simulator.ExpectedRelated(keyword);
        EXPECT_EQ(ToUtf8(RelatedSearchKeywords(config, Utf8ToGbk(keyword))), links) << keyword;
        std::vector<std::string> candidates;
        for (const sim::SuggestionEntry& entry : simulator.ExpectedSuggestions(keyword)) {
            candidates.push_back(entry.candidate);
        }
        EXPECT_EQ(ToUtf8(SuggestionKeywords(config, Utf8ToGbk(keyword))), candidates) << keyword;
        related += static_cast<int>(links.size());
        suggested += static_cast<int>(candidates.size());
    }
    EXPECT_GT(related, 0);
    EXPECT_GT(suggested, 0);
}

}  // namespace
}  // namespace mofeng::mining
