#include <gtest/gtest.h>

#include "runtime/TextOps.h"

#include <random>
#include <string>
#include <vector>

namespace mofeng::runtime {
namespace {

using namespace std::string_view_literals;

// "中" is D6 D0, "文" is CE C4; "\xB0\x41" is a character whose trail byte is 'A'.
struct FindCase {
    std::string_view text;
    std::string_view sought;
    int start;
    bool ignoreCase;
    int expected;
};

TEST(TextFind, PositionsAndByteRules) {
    const FindCase cases[] = {
        {"abcabc", "c", 4, false, 6},
        {"abc", "", 3, false, 1},  // empty sought: 1 whenever the range is not empty
        {"", "", 1, false, -1},
        {"abc", "b", 9, false, -1},
        {"abc", "b", -5, false, 2},
        {"ABC", "b", 1, true, 2},
        {"ABC", "b", 1, false, -1},
        {"\xB0\x41"
         "A",
         "A", 1, false, 3},  // never on a trail byte
        {"\xB0\x41", "A", 1, false, -1},
        {"\xB0\x61", "A", 1, true, -1},  // folded trail byte still skipped
        {"\xB0\x41\xB0\x41", "\x41\xB0", 1, false, -1},
        {"\xD6\xD0\xCE\xC4", "\xCE\xC4", 1, false, 3},
        {"\xD6\xD0\xCE\xC4", "\xCE\xC4", 2, false, -1},  // start inside a character: pairs shift
        {"a\xD6", "b", 1, false, -1},                    // lead byte at the end
        {"a\xD6"
         "\0b"sv,
         "b", 1, false, -1},  // lead byte before a NUL ends the scan
        {"a\0b"sv, "b", 1, false, 3},
        {"\xD6", "\xD6", 1, false, 1},
        {"xyz", "xyzz", 1, false, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextFind(c.text, c.sought, c.start, c.ignoreCase), c.expected)
            << "text size " << c.text.size() << " sought " << c.sought << " start " << c.start;
    }
}

// The byte-by-byte walk TextFind must agree with: a match is tried at every
// character start; a high byte takes its trail with it; a high byte last or
// before NUL ends the search.
int WalkingFind(std::string_view text, std::string_view sought, int start, bool ignoreCase) {
    const auto fold = [&](unsigned char c) {
        return ignoreCase && c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
    };
    const std::size_t skip = start > 1 ? static_cast<std::size_t>(start - 1) : 0;
    if (skip >= text.size()) {
        return -1;
    }
    if (sought.empty()) {
        return 1;
    }
    for (std::size_t at = skip; text.size() - at >= sought.size();) {
        bool same = true;
        for (std::size_t i = 0; i < sought.size() && same; ++i) {
            same = fold(static_cast<unsigned char>(text[at + i])) ==
                   fold(static_cast<unsigned char>(sought[i]));
        }
        if (same) {
            return static_cast<int>(at + 1);
        }
        if (static_cast<unsigned char>(text[at]) >= 0x80) {
            if (at + 1 >= text.size() || text[at + 1] == '\0') {
                return -1;
            }
            at += 2;
        } else {
            at += 1;
        }
    }
    return -1;
}

TEST(TextFind, AgreesWithTheByteWalkOnMixedText) {
    // Few byte values, so that trail bytes, NULs after lead bytes, both cases
    // and long runs of high bytes all come up often.
    const std::string alphabet("aAb\xB0\xA1\xC4\x61\0", 8);
    const std::vector<std::string> soughts = {"a",
                                              "A",
                                              "ab",
                                              "\xB0\xA1",
                                              "\xA1"
                                              "a",
                                              std::string("\0", 1),
                                              "\xC4",
                                              "bA\xB0"};
    std::mt19937 random(20261208);
    for (int round = 0; round < 4000; ++round) {
        std::string text(random() % 40, ' ');
        for (char& c : text) {
            c = alphabet[random() % alphabet.size()];
        }
        if (round % 7 == 0) {  // a long run of high bytes
            text.insert(random() % (text.size() + 1), std::string(random() % 30, '\xB0'));
        }
        const std::string& sought = soughts[random() % soughts.size()];
        const int start = static_cast<int>(random() % (text.size() + 2));
        for (const bool ignoreCase : {false, true}) {
            ASSERT_EQ(TextFind(text, sought, start, ignoreCase),
                      WalkingFind(text, sought, start, ignoreCase))
                << "round " << round << " start " << start << " ignoreCase " << ignoreCase;
        }
    }
}

TEST(TextMid, ClipsAndRefuses) {
    EXPECT_EQ(TextMid("abcdef", 3, 2), "cd");
    EXPECT_EQ(TextMid("abc", 3, 10), "c");
    EXPECT_EQ(TextMid("abc", 4, 1), "");
    EXPECT_EQ(TextMid("abc", 0, 2), "");
    EXPECT_EQ(TextMid("abc", 1, 0), "");
    EXPECT_EQ(TextMid("abc", 2, 2147483647), "bc");
    EXPECT_EQ(TextMid("\xD6\xD0\xCE\xC4", 2, 2), "\xD0\xCE");  // may split characters
}

struct ReplaceCase {
    std::string_view text;
    std::string_view sought;
    std::string_view replacement;
    int start;
    int count;
    bool caseSensitive;
    std::string_view expected;
};

TEST(TextReplace, OccurrencesStartAndCount) {
    const ReplaceCase cases[] = {
        {"<b>x</b><b>y", "<b>", "", 1, -1, false, "x</b>y"},
        {"<b>x</b><b>y", "<b>", "", 1, 1, false, "x</b><b>y"},
        {"<b>x</b><b>y", "<b>", "", 2, -1, false, "<b>x</b>y"},
        {"<B>x<b>", "<b>", "-", 1, -1, false, "-x-"},
        {"<B>x<b>", "<b>", "-", 1, -1, true, "<B>x-"},
        {"aaa", "a", "aa", 1, -1, false, "aaaaaa"},  // no re-scan of replacements
        {"abc", "b", "X", 1, 0, false, "abc"},
        {"abc", "b", "X", 4, -1, false, "abc"},
        {"abc", "", "X", 1, -1, false, "abc"},
        {"\xB0\x41"
         "A",
         "A", "z", 1, -1, false, "\xB0\x41z"},         // trail byte untouched
        {"ab\xD6", "x", "y", 1, -1, false, "ab\xD6"},  // lone lead byte is kept
        {"ab\xD6", "b", "y", 1, -1, false, "ay\xD6"},
        {"\xD6\xD0\xCE\xC4\xD6\xD0", "\xD6\xD0", "Z", 3, -1, false, "\xD6\xD0\xCE\xC4Z"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextReplace(c.text, c.sought, c.replacement, c.start, c.count, c.caseSensitive),
                  c.expected)
            << c.text << " / " << c.sought << " start " << c.start << " count " << c.count;
    }
}

TEST(TextCompare, OrderAndCaseFolding) {
    EXPECT_EQ(TextCompare("abc", "ABC", false), 0);
    EXPECT_GT(TextCompare("abc", "ABC", true), 0);
    EXPECT_LT(TextCompare("ab", "abc", false), 0);
    EXPECT_GT(TextCompare("b", "abc", false), 0);
    EXPECT_EQ(TextCompare("", "", true), 0);
    EXPECT_GT(TextCompare("\xD6\xD0", "z", false), 0);  // double-byte sorts above ASCII
    EXPECT_LT(TextCompare("\xCE\xC4", "\xD6\xD0", false), 0);
    // Trail bytes are not letters: 'A' and 'a' as trail bytes stay different.
    EXPECT_NE(TextCompare("\xB0\x41", "\xB0\x61", false), 0);
    EXPECT_EQ(TextCompare("X\xB0\x41", "x\xB0\x41", false), 0);
}

TEST(TextBytes, SmallConversions) {
    EXPECT_EQ(TextFromBytes("ab\0cd"sv), "ab");
    EXPECT_EQ(TextFromBytes("abcd"sv), "abcd");
    EXPECT_EQ(SpaceText(3), "   ");
    EXPECT_EQ(SpaceText(-1), "");
    EXPECT_EQ(CharText(0), "");
    EXPECT_EQ(CharText(0xD6), "\xD6");
}

}  // namespace
}  // namespace mofeng::runtime
