#include <gtest/gtest.h>

#include <iconv.h>
#include <localcharset.h>

#include <cerrno>
#include <string>

// The Windows build's own iconv (runtime/platform/windows-iconv), as the
// libraries that link it call it: whole buffers, iconv's error contract.
namespace {

struct Converted {
    std::string out;
    std::size_t result;
    int error;
    std::size_t inLeft;  // bytes of the input not converted
};

// Converts `in` into an output of outSize bytes.
Converted Convert(const char* to, const char* from, const std::string& in, std::size_t outSize) {
    const iconv_t cd = iconv_open(to, from);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << from << " to " << to;
    std::string input = in;
    std::string output(outSize, '\0');
    char* inPointer = input.data();
    char* outPointer = output.data();
    std::size_t inLeft = input.size();
    std::size_t outLeft = output.size();
    errno = 0;
    const std::size_t result = iconv(cd, &inPointer, &inLeft, &outPointer, &outLeft);
    const int error = errno;
    iconv_close(cd);
    // The pointers and counts move together.
    EXPECT_EQ(static_cast<std::size_t>(inPointer - input.data()), input.size() - inLeft);
    EXPECT_EQ(static_cast<std::size_t>(outPointer - output.data()), output.size() - outLeft);
    output.resize(output.size() - outLeft);
    return {output, result, result == static_cast<std::size_t>(-1) ? error : 0, inLeft};
}

Converted ToUtf8(const char* from, const std::string& in) {
    return Convert("UTF-8", from, in, in.size() * 4 + 1);
}

TEST(WindowsIconv, CodePagesConvertToUtf8) {
    const Converted gbk = ToUtf8("CP936", "\xB9\xD8\xBC\xFC\xB4\xCA x\x80");
    EXPECT_EQ(gbk.result, 0u);
    EXPECT_EQ(gbk.inLeft, 0u);
    EXPECT_EQ(gbk.out, "关键词 x€");
    EXPECT_EQ(ToUtf8("cp1252", "caf\xE9").out, "café");
    EXPECT_EQ(ToUtf8("MacRoman", "\x8A").out, "ä");
    EXPECT_EQ(ToUtf8("CP950", "\xA4\xA4").out, "中");
    EXPECT_EQ(ToUtf8("ASCII", "abc").out, "abc");
    EXPECT_EQ(ToUtf8("ASCII", "ab\xE9").error, EILSEQ);
}

TEST(WindowsIconv, Utf16LeConvertsWithSurrogatePairs) {
    const Converted pair = ToUtf8("UTF-16LE", std::string("A\0\x73\x51=\xD8\x00\xDE", 8));
    EXPECT_EQ(pair.result, 0u);
    EXPECT_EQ(pair.out, "A关\xF0\x9F\x98\x80");  // U+1F600
    // An empty input (a directory entry without a name) converts to nothing.
    EXPECT_EQ(ToUtf8("UTF-16LE", "").out, "");

    const Converted lone = ToUtf8("UTF-16LE", std::string("A\0\x00\xDC", 4));
    EXPECT_EQ(lone.error, EILSEQ);
    EXPECT_EQ(lone.out, "A");
    EXPECT_EQ(lone.inLeft, 2u);
    // An odd byte or half a pair at the end is incomplete input.
    EXPECT_EQ(ToUtf8("UTF-16LE", std::string("A\0B", 3)).error, EINVAL);
    EXPECT_EQ(ToUtf8("UTF-16LE", std::string("=\xD8", 2)).error, EINVAL);
    // Back to UTF-16LE.
    EXPECT_EQ(Convert("UTF-16LE", "UTF-8", "A关", 8).out, std::string("A\0\x73\x51", 4));
}

TEST(WindowsIconv, InvalidInputStopsBeforeTheCharacter) {
    // 0x7F cannot follow a lead byte.
    const Converted invalid = ToUtf8("CP936", "ab\x81\x7Fz");
    EXPECT_EQ(invalid.result, static_cast<std::size_t>(-1));
    EXPECT_EQ(invalid.error, EILSEQ);
    EXPECT_EQ(invalid.out, "ab");
    EXPECT_EQ(invalid.inLeft, 3u);

    const Converted cut = ToUtf8("CP936", "a\xB9");
    EXPECT_EQ(cut.error, EINVAL);
    EXPECT_EQ(cut.inLeft, 1u);

    for (const char* utf8 : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80"}) {
        SCOPED_TRACE(utf8);
        EXPECT_EQ(Convert("UTF-16LE", "UTF-8", utf8, 16).error, EILSEQ);
    }
    EXPECT_EQ(Convert("UTF-16LE", "UTF-8", "\xE5\x85", 16).error, EINVAL);
    // What the target lacks is an error, never a best-fit or '?'.
    EXPECT_EQ(Convert("CP1252", "UTF-8", "x关", 16).error, EILSEQ);
    EXPECT_EQ(Convert("CP936", "UTF-8", "€关", 16).out, "\x80\xB9\xD8");
}

TEST(WindowsIconv, FullOutputStopsAfterTheLastWholeCharacter) {
    const Converted full = Convert("UTF-8", "CP936", "\xB9\xD8\xBC\xFC\xB4\xCA", 5);
    EXPECT_EQ(full.result, static_cast<std::size_t>(-1));
    EXPECT_EQ(full.error, E2BIG);
    EXPECT_EQ(full.out, "关");
    EXPECT_EQ(full.inLeft, 4u);
}

TEST(WindowsIconv, OpenResetAndLocale) {
    errno = 0;
    EXPECT_EQ(iconv_open("UTF-8", "CP99999"), reinterpret_cast<iconv_t>(-1));
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(iconv_open("EBCDIC-XYZ", "UTF-8"), reinterpret_cast<iconv_t>(-1));
    for (const char* name : {"CP437", "CP1258", "CP1361", "CP874", "CP949", "GBK", "utf-8"}) {
        const iconv_t cd = iconv_open("UTF-8", name);
        EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << name;
        // A NULL input resets the (stateless) converter.
        EXPECT_EQ(iconv(cd, nullptr, nullptr, nullptr, nullptr), 0u);
        EXPECT_EQ(iconv_close(cd), 0);
    }
    const std::string charset = locale_charset();
    EXPECT_TRUE(charset == "UTF-8" || charset.rfind("CP", 0) == 0) << charset;
}

}  // namespace
