#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "CraftedEndpoints.h"
#include "mining/KeywordSources.h"
#include "sim/Simulator.h"
#include "sim/SuggestReply.h"

namespace mofeng::mining {
namespace {

using runtime::Utf8ToGbk;
using Texts = std::vector<std::string>;

Texts ToUtf8(const Texts& gbk) {
    Texts utf8;
    for (const std::string& text : gbk) {
        utf8.push_back(runtime::GbkToUtf8(text));
    }
    return utf8;
}

const std::string kLink = "<a trace=\"relatedSearch\" href=\"/s?q=1\">";
const std::string kNul(1, '\0');

TEST(KeywordSources, ParsesRepliesAsCaptured) {
    struct Case {
        std::string text;  // UTF-8, given to the parser as GBK
        Texts expected;
    };
    const Case related[] = {
        {kLink + "连衣裙</a>\n" + kLink + "长裙</a>" + kLink + "连衣裙</a>",
         {"连衣裙", "长裙", "连衣裙"}},
        {"<A TRACE=\"relatedSearch\" HREF=\"/x\">碎花裙</A>", {"碎花裙"}},
        {kLink + "连衣\n裙</a>", {}},
        {kLink + "<b>裙</b> &amp; 夏</a>", {"<b>裙</b> &amp; 夏"}},
        {kLink + "a</a>" + kNul + kLink + "b</a>", {"a"}},
        {"<a trace=\"srp\" href=\"/x\">裙</a>", {}},
    };
    for (const Case& c : related) {
        EXPECT_EQ(ToUtf8(RelatedCandidatesFromPage(Utf8ToGbk(c.text))), c.expected) << c.text;
    }

    const Case suggestions[] = {
        {R"(cb({"result":[["连衣裙<b>夏<\/b>","12"],["裙","3"]]}))", {"连衣裙夏", "裙"}},
        {R"([["<B>长</B>裙<\/B>","1"])", {"长</B>裙"}},
        {R"([["a\"b\u4e00\/c","7"])", {R"(a\"b\u4e00\/c)"}},
        {R"([["裙","x1"])", {}},
        {"[[\"长\n裙\",\"1\"]", {}},
        {R"([["裙","1"],["裙","2"])", {"裙", "裙"}},
        // Decimal counts, as current replies send them: no entry runs into the next.
        {R"([["帽子","1851375.3007043828"],["帽子女秋冬","718826.9811948987"],["帽子女","16"])",
         {"帽子", "帽子女秋冬", "帽子女"}},
        {R"([["帽子","1851375.3007043828"],["帽子男","718826.98"]])", {"帽子", "帽子男"}},
    };
    for (const Case& c : suggestions) {
        EXPECT_EQ(ToUtf8(SuggestionCandidatesFromText(Utf8ToGbk(c.text))), c.expected) << c.text;
    }
    // The reply is UTF-8 bytes, cut at the first NUL.
    EXPECT_EQ(ToUtf8(SuggestionCandidatesFromText(
                  SuggestionReplyText(R"([["连衣裙","1"],)" + kNul + R"(["长裙","2"])"))),
              Texts{"连衣裙"});
}

TEST(KeywordSources, SuggestionEntriesKeepTheWeightAsTheReplyWroteIt) {
    // UTF-8 text, then "text=weight" per entry.
    const std::pair<std::string, Texts> cases[] = {
        {R"(cb({"result":[["连衣裙<b>夏<\/b>","718826.9811948987"],["裙","3"]]}))",
         {"连衣裙夏=718826.9811948987", "裙=3"}},
        // A text holding quotes and commas does not shift the weight.
        {R"([["a\",\"1","7"],["裙,\"2\"","0.5"])", {R"(a\",\"1=7)", R"(裙,\"2\"=0.5)"}},
        // A double-byte character whose trail byte is '\' (GBK 0x5C) ends the text.
        {R"([["乗","12"],["表","1.25"])", {"乗=12", "表=1.25"}},
    };
    for (const auto& [reply, expected] : cases) {
        Texts entries;
        for (const SuggestionEntry& entry : SuggestionEntriesFromText(Utf8ToGbk(reply))) {
            entries.push_back(runtime::GbkToUtf8(entry.text) + "=" + entry.weight);
        }
        EXPECT_EQ(entries, expected) << reply;
    }
}

TEST(KeywordSources, FetchesEncodedKeywordsAndDecodesReplies) {
    test::CraftedEndpoints server;
    server.SetRelated("abc", {"abc 裙"});
    server.SetSuggestions("连衣裙", {"连衣裙<b>夏<\\/b>"});
    server.SetReply("search u", kLink + "连衣裙</a>", "text/html; charset=UTF-8");
    server.SetReply("search nul", kLink + "a</a>" + kNul + kLink + "b</a>", "text/html");

    EXPECT_EQ(ToUtf8(RelatedSearchKeywords(server.Config(), "abc")), Texts{"abc 裙"});
    EXPECT_EQ(ToUtf8(SuggestionKeywords(server.Config(), Utf8ToGbk("连衣裙"))), Texts{"连衣裙夏"});
    EXPECT_TRUE(SuggestionKeywords(server.Config(), "").empty());
    EXPECT_EQ(ToUtf8(RelatedSearchKeywords(server.Config(), "u")), Texts{"连衣裙"});
    EXPECT_EQ(RelatedSearchKeywords(server.Config(), "nul"), Texts{"a"});

    const std::string tail =
        "&_ksTS=1391415790937_12555&callback=jsonp12556&k=1&area=c2c&bucketid=19";
    const Texts targets = server.Targets();
    ASSERT_EQ(targets.size(), 5u);
    EXPECT_EQ(targets[0], "/search?initiative_id=staobaoz_20150308&js=1&q=%61%62%63");
    EXPECT_EQ(targets[1], "/sug?code=utf-8&q=%E8%BF%9E%E8%A1%A3%E8%A3%99" + tail);
    EXPECT_EQ(targets[2], "/sug?code=utf-8&q=" + tail);

    net::EndpointConfig nowhere;
    nowhere.searchBase = nowhere.suggestBase = "http://127.0.0.1:1";
    EXPECT_TRUE(RelatedSearchKeywords(nowhere, "a").empty());
    EXPECT_TRUE(SuggestionKeywords(nowhere, "a").empty());
}

TEST(KeywordSources, SimulatorRepliesGiveItsKeywordsWithIntegerOrDecimalCounts) {
    for (const bool decimal : {false, true}) {
        SCOPED_TRACE(decimal ? "decimal counts" : "integer counts");
        sim::SimulatorOptions options;
        options.decimalCounts = decimal;
        sim::Simulator simulator(options);
        ASSERT_TRUE(simulator.Start());
        net::EndpointConfig config;
        config.searchBase = config.suggestBase = simulator.BaseUrl();
        std::size_t found = 0;
        for (const std::string keyword : {"连衣裙", "碎花连衣裙 夏", "a", "雪纺长款 女"}) {
            const Texts links = simulator.ExpectedRelated(keyword);
            EXPECT_EQ(ToUtf8(RelatedSearchKeywords(config, Utf8ToGbk(keyword))), links) << keyword;
            Texts candidates;
            for (const sim::SuggestionEntry& entry : simulator.ExpectedSuggestions(keyword)) {
                candidates.push_back(entry.candidate);
            }
            EXPECT_EQ(ToUtf8(SuggestionKeywords(config, Utf8ToGbk(keyword))), candidates)
                << keyword;
            found += links.size() * candidates.size();
            const SourceResult looked = SuggestionLookup(config, Utf8ToGbk(keyword), nullptr);
            EXPECT_EQ(ToUtf8(looked.candidates), candidates);
            EXPECT_EQ(looked.outcome,
                      candidates.empty() ? net::LookupOutcome::NoData : net::LookupOutcome::Normal);
        }
        EXPECT_GT(found, 0u);
    }
}

TEST(KeywordSources, TheMagicBlockLeavesTheSuggestionsAsTheyWereAndOffersItsTags) {
    // As current replies write it: decimal counts, then the tag groups.
    const std::string reply = Utf8ToGbk(
        "jsonp1({\"result\":[[\"连衣裙夏\",\"718826.9811948987\"],[\"长袖连衣裙\",\"5\"]],"
        "\"magic\":[{\"index\":\"4\",\"type\":\"tag_group\",\"data\":[[{\"title\":"
        "\"长袖\",\"type\":\"hot\"},{\"title\":\"中长款\"}],[{\"title\":\"修身\"}]]}]})");
    EXPECT_EQ(ToUtf8(SuggestionCandidatesFromText(reply)), (Texts{"连衣裙夏", "长袖连衣裙"}));
    EXPECT_EQ(ToUtf8(SuggestionTagsFromText(reply)), (Texts{"长袖", "中长款", "修身"}));
    EXPECT_TRUE(SuggestionTagsFromText(Utf8ToGbk("jsonp1({\"result\":[[\"a\",\"1\"]]})")).empty());

    sim::SimulatorOptions today;
    today.today = true;
    sim::Simulator simulator(today);
    ASSERT_TRUE(simulator.Start());
    net::EndpointConfig config;
    config.suggestBase = simulator.BaseUrl();
    std::size_t tagged = 0;
    for (const std::string keyword : {"连衣裙", "碎花连衣裙 夏", "a", "雪纺长款 女"}) {
        SCOPED_TRACE(keyword);
        Texts candidates;
        for (const sim::SuggestionEntry& entry : simulator.ExpectedSuggestions(keyword)) {
            candidates.push_back(entry.candidate);
        }
        EXPECT_EQ(ToUtf8(SuggestionLookup(config, Utf8ToGbk(keyword), nullptr).candidates),
                  candidates);
        const std::size_t suggested = candidates.size();
        for (const std::string& tag : sim::SuggestionTags(simulator.Data(), keyword)) {
            candidates.push_back(keyword + tag);
        }
        tagged += candidates.size();
        const SourceResult looked = SuggestionLookup(config, Utf8ToGbk(keyword), nullptr, true);
        EXPECT_EQ(ToUtf8(looked.candidates), candidates);
        // Each suggestion carries its decimal weight; a tag's candidate none.
        ASSERT_EQ(looked.weights.size(), candidates.size());
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            EXPECT_EQ(looked.weights[i].find('.') != std::string::npos, i < suggested) << i;
        }
    }
    EXPECT_GT(tagged, 0u);
}

}  // namespace
}  // namespace mofeng::mining
