#include <gtest/gtest.h>

#include "runtime/CodePage.h"

namespace mofeng::runtime {
namespace {

using namespace std::string_view_literals;

TEST(CodePage, RoundTrips) {
    const std::pair<std::string_view, std::string_view> gbkAndUtf8[] = {
        {"\x80", "\xE2\x82\xAC"},                          // euro sign
        {"\xD6\xD0\xCE\xC4", "\xE4\xB8\xAD\xE6\x96\x87"},  // 中文
        {"a\0b"sv, "a\0b"sv},                              // NUL bytes pass through
        {"", ""},
    };
    for (const auto& [gbk, utf8] : gbkAndUtf8) {
        EXPECT_EQ(GbkToUtf8(gbk), utf8);
        EXPECT_EQ(Utf8ToGbk(utf8), gbk);
    }
    EXPECT_EQ(Utf16ToGbk(u"\u20AC\u4E2D"), "\x80\xD6\xD0");
}

TEST(CodePage, BadInputIsReplacedNotDropped) {
    EXPECT_EQ(Utf8ToGbk("a\xFF"
                        "b"),
              "a?b");
    const std::string truncated = Utf8ToGbk("a\xE4\xB8");  // truncated sequence
    EXPECT_EQ(truncated.substr(0, 2), "a?");
    EXPECT_EQ(truncated.find_first_not_of('?', 1), std::string::npos);
    EXPECT_EQ(Utf8ToGbk("\xF0\x9F\x98\x80x"), "?x");  // not in GBK
    EXPECT_EQ(GbkToUtf8("a\xD6"), "a\xEF\xBF\xBD");   // lone lead byte at the end
    EXPECT_EQ(GbkToUtf8("\xD6"
                        "1\xD6\xD0"),
              "\xEF\xBF\xBD"
              "1\xE4\xB8\xAD");
    EXPECT_EQ(Utf16ToGbk(u"x\xD800y"), "x?y");  // unpaired surrogate
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // overlong
    EXPECT_TRUE(IsValidUtf8("plain"));
}

TEST(CodePage, LongTextIsNeverTruncated) {
    std::string gbk;
    for (int i = 0; i < 5000; ++i) {
        gbk += "\xD6\xD0x\x80";  // crosses every internal buffer boundary
    }
    const std::string utf8 = GbkToUtf8(gbk);
    EXPECT_EQ(utf8.size(), 5000u * (3 + 1 + 3));
    EXPECT_EQ(Utf8ToGbk(utf8), gbk);
}

}  // namespace
}  // namespace mofeng::runtime
