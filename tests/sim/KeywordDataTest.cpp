#include <gtest/gtest.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "sim/KeywordData.h"
#include "sim/KeywordShape.h"

using mofeng::sim::KeywordData;
using mofeng::sim::ParseKeyword;

namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Rows a full mining run would accept from the simulated endpoints: four
// passes over the related searches, then `levels` levels of suggestions, each
// candidate kept only when it contains mustContain and is new.
std::size_t MiningRows(const KeywordData& data, const std::string& seed,
                       const std::string& mustContain, int levels) {
    std::vector<std::string> related;
    std::unordered_set<std::string> list;
    std::size_t passBegin = 0;
    std::vector<std::string> inputs{seed};
    for (int pass = 1; pass <= 4; ++pass) {
        const std::size_t passEnd = related.size();
        if (pass > 1) {
            inputs.assign(related.begin() + passBegin, related.begin() + passEnd);
        }
        for (const std::string& keyword : inputs) {
            for (const std::string& candidate : data.RelatedLinkTexts(keyword)) {
                if (Contains(candidate, mustContain) && list.insert(candidate).second) {
                    related.push_back(candidate);
                }
            }
        }
        passBegin = passEnd;
    }
    std::unordered_set<std::string> seen;
    std::vector<std::string> keys;
    auto expand = [&](const std::vector<std::string>& from, std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            for (const auto& entry : data.Suggestions(from[i])) {
                if (Contains(entry.candidate, mustContain) && seen.insert(entry.candidate).second) {
                    keys.push_back(entry.candidate);
                }
            }
        }
    };
    expand(related, 0, related.size());
    std::size_t levelBegin = 0;
    for (int level = 2; level <= levels; ++level) {
        const std::vector<std::string> snapshot = keys;
        expand(snapshot, levelBegin, snapshot.size());
        levelBegin = snapshot.size();
    }
    return related.size() + keys.size();
}

std::vector<std::string> SampleKeywords(int count) {
    std::vector<std::string> keywords;
    for (int i = 0; i < count; ++i) {
        keywords.push_back("连衣裙" + std::to_string(i));
    }
    return keywords;
}

}  // namespace

TEST(KeywordShape, SplitsModifiersAndAlwaysRebuildsTheKeyword) {
    struct Case {
        std::string keyword, leading, core;
        std::vector<std::string> trailing;
    };
    const Case cases[] = {
        {"连衣裙", "", "连衣裙", {}},
        {"韩版连衣裙夏显瘦", "韩版", "连衣裙", {"夏", "显瘦"}},
        {"连衣裙中长款", "", "连衣裙", {"中长款"}},  // longest match, not 长款
        {"连衣裙夏季", "", "连衣裙", {"夏季"}},
        {"夏季", "", "夏季", {}},  // the core keeps two code points
        {"裙夏", "", "裙夏", {}},
        {"", "", "", {}},
        {"abc2026", "", "abc", {"2026"}},
    };
    for (const Case& c : cases) {
        const auto shape = ParseKeyword(c.keyword);
        EXPECT_EQ(shape.leading, c.leading) << c.keyword;
        EXPECT_EQ(shape.core, c.core) << c.keyword;
        EXPECT_EQ(shape.trailing, c.trailing) << c.keyword;
        EXPECT_EQ(shape.Text(), c.keyword);
    }
}

TEST(KeywordData, SameSeedSameAnswersOtherSeedOtherAnswers) {
    const KeywordData a(7, 1), b(7, 1), c(8, 1);
    int countsDiffer = 0;
    for (const std::string& k : SampleKeywords(50)) {
        EXPECT_EQ(a.ListingCount(k), b.ListingCount(k));
        EXPECT_EQ(a.Series(k), b.Series(k));
        EXPECT_EQ(a.RelatedKeywords(k), b.RelatedKeywords(k));
        EXPECT_EQ(a.Suggestions(k).size(), b.Suggestions(k).size());
        countsDiffer += a.ListingCount(k) != c.ListingCount(k) ? 1 : 0;
    }
    EXPECT_GT(countsDiffer, 40);
    EXPECT_NE(a.LastDate(), c.LastDate());
}

TEST(KeywordData, ValuesArePlausibleAcrossManyKeywords) {
    const KeywordData data(1, 1);
    int zeroCounts = 0, millions = 0, noSeries = 0, zeroDays = 0, rising = 0, falling = 0;
    int emptyRelated = 0, fullRelated = 0, boldSuggestions = 0;
    const auto keywords = SampleKeywords(2000);
    for (const std::string& k : keywords) {
        const long long count = data.ListingCount(k);
        ASSERT_GE(count, 0);
        ASSERT_LT(count, 2147483647LL);
        zeroCounts += count == 0;
        millions += count >= 1000000;
        if (const auto series = data.Series(k)) {
            bool zeroDay = false;
            for (long long v : *series) {
                ASSERT_GE(v, 0);
                zeroDay = zeroDay || v == 0;
            }
            zeroDays += zeroDay;
            rising += (*series)[6] > 3 * (*series)[0] / 2;
            falling += 3 * (*series)[6] < 2 * (*series)[0];
        } else {
            ++noSeries;
        }
        const auto related = data.RelatedKeywords(k);
        ASSERT_LE(related.size(), 10u);
        emptyRelated += related.empty();
        fullRelated += related.size() == 10;
        for (const auto& entry : data.Suggestions(k)) {
            boldSuggestions += Contains(entry.shown, "<b>");
        }
    }
    EXPECT_GT(zeroCounts, 20);
    EXPECT_LT(zeroCounts, 400);
    EXPECT_GT(millions, 20);
    EXPECT_GT(noSeries, 40);  // about 5%
    EXPECT_LT(noSeries, 180);
    EXPECT_GT(zeroDays, 20);
    EXPECT_GT(rising, 100);
    EXPECT_GT(falling, 100);
    EXPECT_GT(emptyRelated, 40);
    EXPECT_GT(fullRelated, 600);
    EXPECT_GT(boldSuggestions, 1000);
    EXPECT_EQ(data.ListingCount(""), 0);
    EXPECT_FALSE(data.Series("").has_value());
    EXPECT_TRUE(data.RelatedKeywords("").empty());
}

TEST(KeywordData, NeighboursAreNewDistinctAndMostlyKeepTheCore) {
    const KeywordData data(3, 2);
    int withCore = 0, total = 0;
    for (const std::string& k :
         {std::string("连衣裙"), std::string("韩版连衣裙夏"), std::string("雪纺连衣裙女显瘦")}) {
        std::vector<std::string> texts = data.RelatedKeywords(k);
        for (const auto& entry : data.Suggestions(k)) {
            texts.push_back(entry.text);
            // What a client keeps is the shown text without the bold tags.
            std::string stripped = entry.shown;
            for (const std::string tag : {"<b>", "<\\/b>"}) {
                for (auto at = stripped.find(tag); at != std::string::npos;
                     at = stripped.find(tag)) {
                    stripped.erase(at, tag.size());
                }
            }
            EXPECT_EQ(entry.candidate, stripped);
            EXPECT_EQ(entry.count, data.ListingCount(entry.text));
        }
        const std::unordered_set<std::string> distinct(texts.begin(), texts.end());
        EXPECT_FALSE(distinct.contains(k));
        for (const std::string& t : texts) {
            withCore += Contains(t, "连衣裙");
            ++total;
        }
    }
    EXPECT_GT(withCore * 10, total * 7);
    EXPECT_LT(withCore, total);  // some drift to neighbouring words
}

TEST(KeywordData, SuggestionTextsAreEscapedForJson) {
    const KeywordData data(1, 1);
    int completions = 0;
    for (const auto& entry : data.Suggestions("a\"b/c\\d")) {
        if (Contains(entry.text, "a\"b/c\\d")) {
            EXPECT_TRUE(Contains(entry.candidate, "a\\\"b\\/c\\\\d")) << entry.candidate;
            ++completions;
        }
    }
    EXPECT_GT(completions, 0);
    // Control characters and invalid bytes never reach a reply.
    for (const std::string& t : data.RelatedKeywords("连衣\n裙\xFF")) {
        EXPECT_FALSE(Contains(t, "\n"));
        EXPECT_FALSE(Contains(t, "\xFF"));
    }
}

TEST(KeywordData, RelatedLinkTextsAreHtmlForAGbkPage) {
    const KeywordData data(1, 1);
    const std::string keyword = "裙<b>&\xF0\x9F\x98\x80";  // an emoji GBK cannot hold
    const auto plain = data.RelatedKeywords(keyword);
    const auto shown = data.RelatedLinkTexts(keyword);
    ASSERT_EQ(plain.size(), shown.size());
    int withKeyword = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_FALSE(Contains(shown[i], "<b>"));
        if (Contains(plain[i], keyword)) {
            EXPECT_TRUE(Contains(shown[i], "裙&lt;b&gt;&amp;&#128512;")) << shown[i];
            ++withKeyword;
        }
    }
    EXPECT_GT(withKeyword, 0);
}

TEST(KeywordGraph, IsFiniteAndYieldsThousandsOfMinedKeywords) {
    const KeywordData small(1, 1);
    std::unordered_set<std::string> reached{"连衣裙"};
    std::vector<std::string> frontier{"连衣裙"};
    while (!frontier.empty() && reached.size() < 200000) {
        const std::string keyword = frontier.back();
        frontier.pop_back();
        std::vector<std::string> next = small.RelatedKeywords(keyword);
        for (const auto& entry : small.Suggestions(keyword)) {
            next.push_back(entry.text);
        }
        for (std::string& t : next) {
            if (reached.insert(t).second) {
                frontier.push_back(std::move(t));
            }
        }
    }
    EXPECT_TRUE(frontier.empty()) << "the graph grew past " << reached.size();

    const std::size_t oneLevel = MiningRows(small, "连衣裙", "裙", 1);
    const std::size_t threeLevels = MiningRows(small, "连衣裙", "裙", 3);
    EXPECT_GT(oneLevel, 1000u);
    EXPECT_GT(threeLevels, 2000u);
    EXPECT_GT(MiningRows(KeywordData(1, 3), "连衣裙", "裙", 2), 3 * oneLevel);
}
