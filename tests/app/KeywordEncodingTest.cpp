#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "TempFile.h"
#include "app/KeywordFileText.h"
#include "app/KeywordImport.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"

namespace mofeng::app {
namespace {

// The 3,755 level-1 hanzi of GB2312 (B0A1 to D7F9): the most common characters.
std::vector<std::string> CommonHanzi() {
    std::vector<std::string> hanzi;
    for (int lead = 0xB0; lead <= 0xD7; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            if (lead == 0xD7 && trail > 0xF9) {
                break;
            }
            hanzi.push_back({static_cast<char>(lead), static_cast<char>(trail)});
        }
    }
    return hanzi;
}

std::string Utf16(std::string_view gbk, bool bigEndian) {
    const std::string utf8 = runtime::GbkToUtf8(gbk);
    std::u16string units;
    for (std::size_t i = 0; i < utf8.size();) {  // BMP only: every GB2312 character is
        const auto b = static_cast<unsigned char>(utf8[i]);
        const int length = b < 0x80 ? 1 : b < 0xE0 ? 2 : 3;
        char32_t cp = length == 1 ? b : length == 2 ? (b & 0x1F) : (b & 0x0F);
        for (int k = 1; k < length; ++k) {
            cp = cp << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        units.push_back(static_cast<char16_t>(cp));
        i += static_cast<std::size_t>(length);
    }
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : units) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// Short keyword files as sellers write them: one to three lines of one to
// four common characters, sometimes with ASCII mixed in.
std::vector<std::string> ShortGbkFiles(std::size_t count) {
    const std::vector<std::string> hanzi = CommonHanzi();
    std::mt19937 random(20261208);
    std::vector<std::string> files;
    for (std::size_t f = 0; f < count; ++f) {
        std::string file;
        const int lines = 1 + static_cast<int>(random() % 3);
        for (int l = 0; l < lines; ++l) {
            const int length = 1 + static_cast<int>(random() % 4);
            for (int c = 0; c < length; ++c) {
                file += hanzi[random() % hanzi.size()];
            }
            if (random() % 5 == 0) {
                file += " 2026";
            }
            file += random() % 2 ? "\r\n" : "\n";
        }
        if (random() % 3 == 0) {
            file.resize(file.size() - (file.ends_with("\r\n") ? 2 : 1));  // no final line end
        }
        files.push_back(file);
    }
    return files;
}

TEST(KeywordEncoding, EveryEncodingOfAGeneratedCorpusReadsAsTheSameWords) {
    const std::vector<std::string> files = ShortGbkFiles(4000);
    struct Encoding {
        const char* name;
        std::string (*encode)(const std::string&);
    };
    const Encoding encodings[] = {
        {"GBK", [](const std::string& gbk) { return gbk; }},
        {"UTF-8", [](const std::string& gbk) { return runtime::GbkToUtf8(gbk); }},
        {"UTF-8 with BOM",
         [](const std::string& gbk) { return "\xEF\xBB\xBF" + runtime::GbkToUtf8(gbk); }},
        {"UTF-16 LE with BOM", [](const std::string& gbk) { return Utf16(gbk, false); }},
        {"UTF-16 BE with BOM", [](const std::string& gbk) { return Utf16(gbk, true); }},
    };
    for (const Encoding& encoding : encodings) {
        int misread = 0;
        for (const std::string& gbk : files) {
            if (KeywordFileToGbk(encoding.encode(gbk)) != gbk && ++misread <= 3) {
                ADD_FAILURE() << encoding.name << " misread: " << runtime::GbkToUtf8(gbk);
            }
        }
        EXPECT_EQ(misread, 0) << encoding.name << " of " << files.size() << " files";
    }
}

TEST(KeywordEncoding, EveryCommonCharacterAloneStaysItself) {
    for (const std::string& hanzi : CommonHanzi()) {
        ASSERT_EQ(KeywordFileToGbk(hanzi), hanzi) << runtime::GbkToUtf8(hanzi);
        ASSERT_EQ(KeywordFileToGbk(runtime::GbkToUtf8(hanzi)), hanzi) << runtime::GbkToUtf8(hanzi);
    }
}

TEST(KeywordEncoding, ShortWordsWhoseGbkIsValidUtf8) {
    // Each of these GBK byte strings is also well-formed UTF-8.
    for (const char* word : {"女装", "小", "小米", "童装", "女鞋"}) {
        const std::string gbk = runtime::Utf8ToGbk(word);
        EXPECT_EQ(KeywordFileToGbk(gbk), gbk) << word << " as GBK";
        EXPECT_EQ(KeywordFileToGbk(word), gbk) << word << " as UTF-8";
        EXPECT_EQ(KeywordFileToGbk(gbk + "\r\n" + gbk + "\r\n"), gbk + "\r\n" + gbk + "\r\n");
    }
}

TEST(KeywordEncoding, Utf16WithoutByteOrderMark) {
    const std::string le("a\0b\0\r\0\n\0c\0", 10);
    const std::string be("\0a\0b\0\n\0c", 8);
    EXPECT_EQ(KeywordFileToGbk(le), "ab\r\nc");
    EXPECT_EQ(KeywordFileToGbk(be), "ab\nc");
    // CJK text in UTF-16 without a mark has no NUL bytes to go by; and a
    // keyword file whose second byte is NUL but that is no UTF-16 stays as it is.
    EXPECT_EQ(KeywordFileToGbk(std::string("a\0bcdefgh", 9)), std::string("a\0bcdefgh", 9));

    test::TempFile file(le);
    runtime::MemoryTable table({{"No", 55}, {"Keyword", 160}});
    EXPECT_EQ(ImportKeywordFile(file.Path(), table, 1, true).rowsAdded, 2);
    EXPECT_EQ(table.Rows(), (std::vector<runtime::Row>{{"1", "ab"}, {"2", "c"}}));
}

TEST(KeywordEncoding, UncommonCharactersAreCountedPerReading) {
    struct Case {
        std::string bytes;
        bool valid;
        std::size_t uncommon;
    };
    const Case cases[] = {
        {"abc", true, 0},       {"\xB0\xA1\xA1\xA1", true, 0},  // level-1 hanzi, symbol
        {"\xD8\xA1", true, 1},                                  // level-2 hanzi
        {"\x81\x40", true, 1},                                  // extension
        {"\x80", true, 1},                                      // the euro sign
        {"\xD7\xFA", true, 1},                                  // just past level 1
        {"\xB0", false, 0},                                     // lead byte last
        {"\xB0\x20", false, 0},                                 // no trail byte
        {"\xFF\xA1", false, 0},
    };
    for (const Case& c : cases) {
        const GbkCommonness result = CommonnessOfGbk(c.bytes);
        EXPECT_EQ(result.valid, c.valid) << runtime::GbkToUtf8(c.bytes);
        EXPECT_EQ(result.uncommon, c.uncommon) << runtime::GbkToUtf8(c.bytes);
    }
}

}  // namespace
}  // namespace mofeng::app
