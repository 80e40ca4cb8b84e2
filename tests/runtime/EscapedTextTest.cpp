#include <gtest/gtest.h>

#include "runtime/EscapedText.h"

namespace mofeng::runtime {
namespace {

using namespace std::string_view_literals;

TEST(JsonStringContent, EscapesQuotesBackslashesAndControls) {
    EXPECT_EQ(JsonStringContent(R"(say "hi" \o/)"), R"(say \"hi\" \\o/)");
    EXPECT_EQ(JsonStringContent("a\tb\nc\x1F"), R"(a\u0009b\u000ac\u001f)");
    // NUL is a control byte like the others, not the end of the text.
    EXPECT_EQ(JsonStringContent("x\0y"sv), R"(x\u0000y)");
    EXPECT_EQ(JsonStringContent(" \x7F"), " \x7F");
    EXPECT_EQ(JsonStringContent(""), "");
}

TEST(JsonStringContent, HighBytesPassThrough) {
    // GBK and UTF-8 alike; the escape works on bytes, so a GBK trail byte
    // 0x5C is escaped as a backslash.
    EXPECT_EQ(JsonStringContent("\xC1\xAC\xD2\xC2\xC5\xAE"), "\xC1\xAC\xD2\xC2\xC5\xAE");
    EXPECT_EQ(JsonStringContent("\xE8\xBF\x9E\xE8\xA1\xA3"), "\xE8\xBF\x9E\xE8\xA1\xA3");
    EXPECT_EQ(JsonStringContent("\x81\x5C"), "\x81\\\\");
}

TEST(JsonStringContent, SlashAsAsked) {
    EXPECT_EQ(JsonStringContent("</b>"), "</b>");
    EXPECT_EQ(JsonStringContent("</b>", JsonSlash::Escaped), R"(<\/b>)");
}

TEST(PercentEncodeBytes, OnlyUnreservedBytesStay) {
    EXPECT_EQ(PercentEncodeBytes("Az09-._~"), "Az09-._~");
    EXPECT_EQ(PercentEncodeBytes("a b&=/+%"), "a%20b%26%3D%2F%2B%25");
    EXPECT_EQ(PercentEncodeBytes("\xE8\xBF\x9E\x00\x7F"sv), "%E8%BF%9E%00%7F");
    EXPECT_EQ(PercentEncodeBytes(""), "");
}

}  // namespace
}  // namespace mofeng::runtime
