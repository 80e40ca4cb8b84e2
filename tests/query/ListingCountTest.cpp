#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "query/SearchResultCount.h"
#include "query/TextBetween.h"

namespace mofeng::query {
namespace {

struct BetweenCase {
    const char* name;
    std::string text;
    int start;
    const char* key;
    const char* left;
    bool useLeft;
    const char* right;
    bool ignoreCase;
    bool includeKey;
    std::string value;
    int valueStart;  // -1: nothing found
};

TEST(TextBetween, FindsValueAfterKeyAndDelimiter) {
    const BetweenCase cases[] = {
        {"quoted value", R"({"totalHits":"1234","x":1})", 1, "totalHits", ":\"", true, "\",", true,
         false, "1234", 15},
        {"key in capitals", R"({"TOTALHITS":"1234",)", 1, "totalHits", ":\"", true, "\",", true,
         false, "1234", 15},
        {"capitals refused when case matters", R"({"TOTALHITS":"1234",)", 1, "totalHits", ":\"",
         true, "\",", false, false, "", -1},
        {"unquoted number: the later quoted value wins", R"("totalHits":77,"nick":"5",)", 1,
         "totalHits", ":\"", true, "\",", true, false, "5", 24},
        {"missing right delimiter runs to the end", R"("totalHits":"12abc def)", 1, "totalHits",
         ":\"", true, "\",", true, false, "12abc def", 14},
        {"key absent", R"("total":"5",)", 1, "totalHits", ":\"", true, "\",", true, false, "", -1},
        {"no left delimiter after the key", R"(:"9","totalHits":9})", 1, "totalHits", ":\"", true,
         "\",", true, false, "", -1},
        {"search starts at start", R"(k:"1",k:"2",)", 2, "k", ":\"", true, "\",", true, false, "2",
         10},
        {"key serves as left delimiter", "a=1;b=2;", 1, "b=", "", false, ";", true, false, "2", 7},
        {"value includes the key", "a=1;b=2;", 1, "b=", "", false, ";", true, true, "b=2", 5},
        {"empty value", R"("totalHits":"",)", 1, "totalHits", ":\"", true, "\",", true, false, "",
         14},
        // 0xB5 0x74 is one double-byte character: the "t" inside it never
        // starts the key.
        {"key never starts on a trail byte", "\xB5totalHits\":\"5\",totalHits\":\"7\",", 1,
         "totalHits", ":\"", true, "\",", true, false, "7", 29},
    };
    for (const BetweenCase& c : cases) {
        SCOPED_TRACE(c.name);
        int start = c.start;
        EXPECT_EQ(TextBetween(c.text, start, c.key, c.left, c.useLeft, c.right, c.ignoreCase,
                              c.includeKey),
                  c.value);
        EXPECT_EQ(start, c.valueStart);
    }
}

TEST(ListingCountFromPage, ReadsTheNumberOfTotalHits) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const struct {
        const char* name;
        std::string page;
        std::int32_t count;
    } cases[] = {
        {"page config", R"(g_page_config = {"mods":{},"totalHits":"1234","q":"x"};)", 1234},
        {"key in capitals", R"({"TotalHITS":"1234",)", 1234},
        {"unquoted number before a quoted field", R"("totalHits":77,"nick":"5",)", 77},
        {"spaces after the colon", R"("totalHits": "56", )", 56},
        {"unquoted key", "totalHits:789,", 789},
        {"digits then letters", R"("totalHits":"12abc",)", 12},
        {"empty value", R"("totalHits":"",)", 0},
        {"non-numeric value", R"("totalHits":"many",)", 0},
        {"null falls back to the later quoted value", R"("totalHits":null,"a":"5",)", 5},
        {"a negative value is no count", R"("totalHits":"-5",)", 0},
        {"a negative value beyond the 32-bit range", R"("totalHits": :"-99999999999",)", 0},
        {"beyond the 32-bit range saturates", R"("totalHits":"99999999999",)", kMax},
        {"only the first key counts", R"("totalHits":"3","totalHits":"4",)", 3},
        {"an echoed keyword before the config",
         R"(<title>totalhits shoes</title>{"totalHits":"42",)", 42},
        {"no key", R"({"hits":"5",})", 0},
        {"empty page", "", 0},
        {"truncated after the key", R"({"totalHits")", 0},
        {"quoted exponent form reads as ToNumber", R"("totalHits":"1e3",)", 1000},
        {"quoted decimal", R"("totalHits":"2.9e1",)", 29},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ListingCountFromPage(c.page), c.count);
        // Found exactly when some number follows the key; absent otherwise.
        const auto found = FindListingCount(c.page);
        EXPECT_EQ(found.value_or(0), c.count);
        EXPECT_EQ(found.has_value(), c.count != 0 || c.page.find(":\"0") != std::string::npos);
    }
}

// Full-width digits and signs, GBK (A3 xx).
const std::string kWide123 = "\xA3\xB1\xA3\xB2\xA3\xB3";
const std::string kWidePlus5 = "\xA3\xAB\xA3\xB5";
const std::string kWideMinus5 = "\xA3\xAD\xA3\xB5";

TEST(ListingCountReading, AQuotedValueReadsAsToNumberAndEveryPathAgrees) {
    const struct {
        const char* name;
        std::string page;
        std::optional<std::int32_t> count;  // nullopt: the page carries none
    } cases[] = {
        {"full-width digits", R"({"totalHits":")" + kWide123 + R"(","q":"x"})", 123},
        {"full-width digits, spaced colon", R"("totalHits": ")" + kWide123 + R"(",)", 123},
        {"full-width plus sign", R"("totalHits":")" + kWidePlus5 + R"(",)", 5},
        {"leading white space", R"("totalHits":" 5",)", 5},
        {"leading full-width space",
         "\"totalHits\":\"\xA1\xA1"
         "5\",",
         5},
        {"plus sign", R"("totalHits":"+5",)", 5},
        {"zero is a count", R"("totalHits":"0",)", 0},
        {"full-width minus is no count", R"("totalHits":")" + kWideMinus5 + R"(",)", std::nullopt},
        {"spaced minus is no count", R"("totalHits":" -5",)", std::nullopt},
        {"a sign alone is no count", R"("totalHits":"+",)", std::nullopt},
        {"full-width after a bare null", R"("totalHits":null,"a":")" + kWide123 + R"(",)", 123},
        {"a bare number directly after the key stays the count",
         R"("totalHits":77,"nick":")" + kWide123 + R"(",)", 77},
        {"a bare number after white space", "\"totalHits\":\r\n 8,\"a\":\"9\",", 8},
        {"a bad first value gives way to a later key",
         R"("totalHits":"n/a","totalHits":")" + kWide123 + R"(",)", 123},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FindListingCount(c.page), c.count);
        EXPECT_EQ(ListingCountFromPage(c.page), c.count.value_or(0));
    }
}

}  // namespace
}  // namespace mofeng::query
