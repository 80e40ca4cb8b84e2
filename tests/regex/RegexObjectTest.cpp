#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "regex/RegexObject.h"
#include "runtime/CodePage.h"

namespace mofeng::regex {
namespace {

// The patterns the query and mining layers search with.
constexpr const char* kRelatedPattern = R"re(<a trace="relatedSearch" href=".*?">(.*?)</a>)re";
constexpr const char* kSuggestPattern = R"re(\["(.*?)","\d+")re";
constexpr const char* kTrendPattern =
    R"re((\d+),(\d+),(\d+),(\d+),(\d+),(\d+),(\d+),0],"lastdate":")re";

std::string Gbk(const char* utf8) {
    return runtime::Utf8ToGbk(utf8);
}

std::vector<std::string> AllMatches(const RegexObject& regex) {
    std::vector<std::string> texts;
    for (int i = 1; i <= regex.MatchCount(); ++i) {
        texts.push_back(regex.MatchText(i));
    }
    return texts;
}

std::vector<std::string> FirstGroups(const RegexObject& regex) {
    std::vector<std::string> texts;
    for (int i = 1; i <= regex.MatchCount(); ++i) {
        texts.push_back(regex.SubMatchText(i, 1));
    }
    return texts;
}

struct SearchCase {
    const char* name;
    std::string pattern;
    std::string subject;  // GBK bytes
    std::vector<std::string> matches;
};

TEST(RegexObjectTest, DefaultOptionsMatchByCharacter) {
    const std::vector<SearchCase> cases = {
        {"digit pairs", R"((\d+),(\d+))", "12,34", {"12,34"}},
        {"lower-case pattern finds capitals", "abc", "xABCx aBc", {"ABC", "aBc"}},
        {"no match", "xyz", "abc", {}},
        {"empty subject (a failed fetch)", kTrendPattern, "", {}},
        {"dot stops at LF but not at CR", "a.b", "a\nb a\rb", {"a\rb"}},
        {"multi-line anchors", R"(^\w+$)", "ab\ncd\n", {"ab", "cd"}},
        {"\\d is ASCII only", R"(\d+)", Gbk("１２3４"), {"3"}},
        {"dot takes a whole character", Gbk("衣."), Gbk("连衣裙"), {Gbk("衣裙")}},
        {"class of Chinese characters", Gbk("[连衣]+"), Gbk("裙连衣裙"), {Gbk("连衣")}},
        {"'@' is not the trail byte of 0x81 0x40", "@", "\x81\x40", {}},
        {"caseless 'a' is not the trail byte of 0x81 0x41", "a", "\x81\x41\x81\x61", {}},
        {"'[' trail byte does not open an entry", kSuggestPattern, "\x81[\"x\",\"1\"", {}},
        {"empty matches advance one character", "a*", "baaac", {"", "aaa", "", ""}},
        {"empty matches between Chinese characters", "x*", Gbk("中文"), {"", "", ""}},
        {"empty match before a character that matches", "b?", "ab", {"", "b", ""}},
    };
    for (const SearchCase& c : cases) {
        SCOPED_TRACE(c.name);
        RegexObject regex;
        EXPECT_TRUE(regex.Search(c.pattern, c.subject));
        EXPECT_EQ(AllMatches(regex), c.matches);
    }
}

TEST(RegexObjectTest, GroupsAndIndexesAreOneBased) {
    RegexObject regex;
    ASSERT_TRUE(regex.Search(R"((\d+),(\d+))", "12,34"));
    EXPECT_EQ(regex.MatchCount(), 1);
    EXPECT_EQ(regex.SubMatchCount(), 2);
    EXPECT_EQ(regex.SubMatchText(1, 1), "12");
    EXPECT_EQ(regex.SubMatchText(1, 2), "34");
    for (auto [match, group] : {std::pair{2, 1}, {0, 1}, {-1, 1}, {1, 0}, {1, 3}, {1, -1}}) {
        EXPECT_EQ(regex.SubMatchText(match, group), "") << match << "," << group;
    }
    EXPECT_EQ(regex.MatchText(0), "");
    EXPECT_EQ(regex.MatchText(2), "");

    ASSERT_TRUE(regex.Search("(a)|(b)", "b"));
    EXPECT_EQ(regex.SubMatchText(1, 1), "") << "a group that took no part";
    EXPECT_EQ(regex.SubMatchText(1, 2), "b");
}

TEST(RegexObjectTest, OptionsChangeTheSearchEvenForTheSamePattern) {
    RegexObject regex;
    EXPECT_TRUE(regex.Search("abc", "ABC"));
    EXPECT_EQ(regex.MatchCount(), 1);
    EXPECT_TRUE(regex.Search("abc", "ABC", true));
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_TRUE(regex.Search("abc", "ABC"));
    EXPECT_EQ(regex.MatchCount(), 1);

    EXPECT_TRUE(regex.Search("^cd", "ab\ncd", false, false));
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_TRUE(regex.Search(R"(\d)", "1 2 3", false, true, false));
    EXPECT_EQ(AllMatches(regex), std::vector<std::string>{"1"});
}

TEST(RegexObjectTest, InvalidPatternLeavesEveryResultEmpty) {
    for (const char* pattern : {"(", "[a", "a{2,1}", "*", "\\", "(?<n>a)(?<n>b)"}) {
        SCOPED_TRACE(pattern);
        RegexObject regex;
        EXPECT_FALSE(regex.Search(pattern, "a(b"));
        EXPECT_EQ(regex.MatchCount(), 0);
        EXPECT_EQ(regex.MatchText(1), "");
        EXPECT_EQ(regex.SubMatchText(1, 1), "");
        EXPECT_EQ(regex.SubMatchCount(), 0);
        EXPECT_EQ(regex.Replace("x"), "");
        // A valid pattern afterwards works again.
        EXPECT_TRUE(regex.Search("b", "a(b"));
        EXPECT_EQ(regex.MatchCount(), 1);
    }
}

TEST(RegexObjectTest, OddBytesInTheSubjectAreSurvived) {
    const std::vector<std::string> subjects = {
        std::string("a\xFF"
                    "b"),
        "x\x81",
        "\x80\x80",
        std::string("\xE4\xB8\xAD\xE6", 4),
        std::string("a\0b", 3),
        "\xC0\xAF\xFE\xFE\xFE",
        "\x81\x30\x81\x7F",
    };
    for (const std::string& subject : subjects) {
        RegexObject regex;
        EXPECT_TRUE(regex.Search(".", subject));
        EXPECT_GT(regex.MatchCount(), 0);
        for (int i = 1; i <= regex.MatchCount(); ++i) {
            EXPECT_FALSE(regex.MatchText(i).empty());
        }
        EXPECT_FALSE(regex.Replace("[$&]").empty());
    }
}

TEST(RegexObjectTest, SuggestionEntriesCaptureWholeCharacters) {
    const std::string reply =
        Gbk(R"(jsonp12556({"result": [["连衣裙<b>夏<\/b>","482931"],["连衣裙女 长款","25530"],)"
            R"(["乕[丂@","7"],["夏季","x"]]}))");
    RegexObject regex;
    ASSERT_TRUE(regex.Search(kSuggestPattern, reply));
    EXPECT_EQ(FirstGroups(regex), (std::vector<std::string>{Gbk(R"(连衣裙<b>夏<\/b>)"),
                                                            Gbk("连衣裙女 长款"), Gbk("乕[丂@")}));
}

TEST(RegexObjectTest, TrendSeriesIsTheFirstArrayBeforeLastdate) {
    const std::string json =
        R"({"data":{"trend":[{"index":[5,6,7,8,9,10,11,12,13,0],"lastdate":"2014-02-02"},)"
        R"({"index":[1,2,3,4,5,6,7,0],"lastdate":"2014-02-02"}],"other":[1,2,3,4,5,6,7,1],)"
        R"("lastdate":"x"}})";
    RegexObject regex;
    ASSERT_TRUE(regex.Search(kTrendPattern, json));
    EXPECT_EQ(regex.MatchCount(), 2);
    std::vector<std::string> series;
    for (int group = 1; group <= 7; ++group) {
        series.push_back(regex.SubMatchText(1, group));
    }
    EXPECT_EQ(series, (std::vector<std::string>{"7", "8", "9", "10", "11", "12", "13"}));
}

TEST(RegexObjectTest, RelatedLinksIgnoreCaseButNotLineBreaks) {
    const std::string page =
        Gbk("<div class=\"related\"><A TRACE=\"relatedSearch\" HREF=\"/s?q=1\">连衣裙 夏</A>\n"
            "<a trace=\"relatedsearch\" href=\"/s?q=2\">半身裙</a> <a href=\"/x\">别的</a>\n"
            "<a trace=\"relatedSearch\" href=\"/s?q=3\">跨\n行</a>\n"
            "<a trace=\"relatedSearch\" href=\"/s?q=4\"><b>长裙</b></a></div>");
    RegexObject regex;
    ASSERT_TRUE(regex.Search(kRelatedPattern, page));
    EXPECT_EQ(FirstGroups(regex),
              (std::vector<std::string>{Gbk("连衣裙 夏"), Gbk("半身裙"), Gbk("<b>长裙</b>")}));
}

TEST(RegexObjectTest, ReplaceExpandsGroupsAndHonoursGlobal) {
    struct ReplaceCase {
        std::string pattern, subject, replacement, expected;
        bool global;
    };
    const std::vector<ReplaceCase> cases = {
        {R"((\d+),(\d+))", Gbk("甲12,34乙5,6"), "$2,$1", Gbk("甲34,12乙6,5"), true},
        {R"((\d+),(\d+))", "12,34 5,6", "$2,$1", "34,12 5,6", false},
        {"b", "abc", "[$&]", "a[b]c", true},
        {"b", "abc", "$$1 $3 $0 $x $", "a$1 $3 $0 $x $c", true},
        {"(a)|(b)", "ab", "<$1$2>", "<a><b>", true},
        {"(b)", "abc", "$10", "ab0c", true},
        {"x*", Gbk("中文"), "-", Gbk("-中-文-"), true},
        {"nothing", Gbk("保持原样"), "y", Gbk("保持原样"), true},
        {Gbk("裙"), Gbk("连衣裙"), Gbk("$&子"), Gbk("连衣裙子"), true},
    };
    for (const ReplaceCase& c : cases) {
        SCOPED_TRACE(c.pattern + " / " + c.replacement);
        RegexObject regex;
        ASSERT_TRUE(regex.Search(c.pattern, c.subject, false, true, c.global));
        EXPECT_EQ(regex.Replace(c.replacement), c.expected);
    }
    EXPECT_EQ(RegexObject().Replace("x"), "") << "before any Search";
}

TEST(RegexObjectTest, CloneKeepsItsResultsWhenTheOriginalMovesOn) {
    RegexObject regex;
    ASSERT_TRUE(regex.Search(R"((\d+),(\d+))", "12,34 5,6"));
    const RegexObject clone = regex.Clone();
    ASSERT_TRUE(regex.Search("z", "zz"));
    regex.Release();
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.PatternText(), "");

    EXPECT_EQ(clone.PatternText(), R"((\d+),(\d+))");
    EXPECT_EQ(AllMatches(clone), (std::vector<std::string>{"12,34", "5,6"}));
    EXPECT_EQ(clone.SubMatchText(2, 2), "6");
    EXPECT_EQ(clone.Replace("$2"), "34 6");
}

TEST(RegexObjectTest, ReleasingTheSubjectKeepsThePatternForTheNextSearch) {
    RegexObject regex;
    ASSERT_TRUE(regex.Search(kTrendPattern, R"([1,2,3,4,5,6,7,0],"lastdate":")"));
    const RegexObject clone = regex.Clone();
    regex.ReleaseSubject();
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.SubMatchText(1, 1), "");
    EXPECT_EQ(regex.Replace("x"), "");
    EXPECT_EQ(regex.PatternText(), kTrendPattern);
    EXPECT_EQ(clone.SubMatchText(1, 7), "7");  // a clone keeps its own results

    ASSERT_TRUE(regex.Search(kTrendPattern, R"([9,8,7,6,5,4,3,0],"lastdate":")"));
    EXPECT_EQ(regex.SubMatchText(1, 1), "9");
}

// The matches of one search are kept in about the subject's size: a pattern
// that matches every character of a large subject ends incomplete instead of
// holding several times the subject.
TEST(RegexObjectTest, MatchesTakeAboutTheSubjectsSize) {
    const std::string subject(4 << 20, 'x');
    RegexObject regex;
    EXPECT_FALSE(regex.Search(".", subject));
    const auto kept = static_cast<std::size_t>(regex.MatchCount());
    EXPECT_GT(kept, 100'000u);
    EXPECT_LE(kept * 2 * sizeof(std::uint32_t), subject.size() + (1 << 20));
    EXPECT_EQ(regex.MatchText(static_cast<int>(kept)), "x");
    EXPECT_EQ(regex.Replace("y"), "");

    EXPECT_TRUE(regex.Search("x{1000}", subject)) << "fewer, longer matches all fit";
    EXPECT_EQ(regex.MatchCount(), static_cast<int>(subject.size() / 1000));
}

// An attempt that runs into the backtracking limit is skipped, so a hostile
// stretch hides nothing after it; the search still reports itself incomplete
// (false, and no replacement), and after a bounded number of such attempts it
// ends, which bounds its time.
TEST(RegexObjectTest, RunawayAttemptsAreSkippedAndTheSearchGoesOn) {
    const std::string runaway = std::string(30, 'a') + "!";  // a few runaway attempts
    struct Case {
        const char* name;
        std::string pattern;
        std::string subject;
        std::vector<std::string> matches;
    };
    const Case cases[] = {
        {"matches before and after one runaway stretch",
         "x|(a+)+$",
         "x " + runaway + " x x",
         {"x", "x", "x"}},
        {"related links behind a runaway line",
         std::string("(a+)+$|") + kRelatedPattern,
         runaway + Gbk("\n<a trace=\"relatedSearch\" href=\"/s\">连衣裙</a>"),
         {Gbk("<a trace=\"relatedSearch\" href=\"/s\">连衣裙</a>")}},
        {"runaway stretches beyond the bound end the search",
         "(a+)+$|x",
         [&] {
             std::string subject;
             for (int i = 0; i < 40; ++i) {
                 subject += runaway + "\n";
             }
             return subject + "x";
         }(),
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegexObject regex;
        EXPECT_FALSE(regex.Search(c.pattern, c.subject));
        EXPECT_EQ(AllMatches(regex), c.matches);
        EXPECT_EQ(regex.Replace("y"), "") << "a partial replacement would look complete";
    }
}

}  // namespace
}  // namespace mofeng::regex
