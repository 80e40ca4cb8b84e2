#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "runtime/NumberOps.h"
#include "runtime/RuntimeError.h"

namespace mofeng::runtime {
namespace {

using namespace std::string_view_literals;

TEST(ToNumber, LeadingNumberAfterFolding) {
    const std::pair<std::string_view, double> cases[] = {
        {"  12.5kg", 12.5},
        {"abc", 0},
        {"", 0},
        {"\xA3\xB1\xA3\xB2\xA3\xB3", 123},           // full-width 123
        {"\xA3\xB1\xA3\xB2\xA3\xAE\xA3\xB5", 12.5},  // full-width 12.5
        {"\xA1\xA1\xA3\xAD\xA3\xB7", -7},            // ideographic space, full-width -7
        {"\t\r\n 42", 42},
        {"+3", 3},
        {"-.5", -0.5},
        {"5.", 5},
        {".", 0},
        {"-", 0},
        {"1e3", 1000},
        {"1E-2", 0.01},
        {"2.5e+2x", 250},
        {"\xA3\xB2\xA3\xE5\xA3\xB3", 2000},  // full-width 2e3
        {"7e", 7},
        {"7e+", 7},
        {"7e-x", 7},
        {"0x1A", 0},
        {"inf", 0},
        {"nan", 0},
        {"12\xD6\xD0"
         "3",
         12},
        {"\xD6\xD0"
         "12",
         0},
        {"1\xA3", 1},  // lead byte at the end
        {"1e400", std::numeric_limits<double>::infinity()},
        {"1e-400", 0},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_DOUBLE_EQ(ToNumber(text), expected) << text;
    }
}

TEST(ToNumber, StopsAtTheEndOfTheView) {
    const std::string backing = "123456e7";
    EXPECT_EQ(ToNumber(std::string_view(backing).substr(0, 3)), 123);
    EXPECT_EQ(ToNumber(std::string_view(backing).substr(0, 7)), 123456);  // "e" without digits
    EXPECT_EQ(ToNumber("\xA3"sv), 0);
}

TEST(ToNumber, IgnoresTheProcessLocale) {
    const char* chosen = nullptr;
    // A decimal comma by its POSIX name, else by the Windows C runtime's.
    for (const char* name : {"de_DE.UTF-8", "German_Germany.1252"}) {
        if ((chosen = std::setlocale(LC_NUMERIC, name)) != nullptr) {
            break;
        }
    }
    if (chosen == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    EXPECT_EQ(ToNumber("1.5"), 1.5);
    EXPECT_EQ(ToText(1.5), "1.5");
    EXPECT_EQ(FormatNumber(0.25, 1), "0.3");
    std::setlocale(LC_NUMERIC, "C");
}

TEST(ToText, Forms) {
    EXPECT_EQ(ToText(0.1 + 0.2), "0.3");
    EXPECT_EQ(ToText(1.0 / 3), "0.3333333333333");
    EXPECT_EQ(ToText(1234.5714285714286), "1234.571428571");
    EXPECT_EQ(ToText(1e15), "1e+15");
    EXPECT_EQ(ToText(3.0), "3");
    EXPECT_EQ(ToText(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(ToText(std::int64_t{-9000000000}), "-9000000000");
    EXPECT_EQ(ToText(true), "\xD5\xE6");
    EXPECT_EQ(ToText(false), "\xBC\xD9");
}

struct FormatCase {
    double x;
    std::optional<int> decimals;
    bool thousands;
    std::string_view expected;
};

TEST(FormatNumber, RoundingPaddingAndSigns) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const FormatCase cases[] = {
        {0.04, 1, false, "0.0"},
        {0.05, 1, false, "0.1"},
        {0.25, 1, false, "0.3"},
        {2, 1, false, "2.0"},
        {-0.25, 1, false, "-0.3"},
        {-0.04, 1, false, "-0.0"},
        {-0.05, 1, false, "-0.1"},
        {0, 1, false, "0.0"},
        {0.4, 0, false, "0"},
        {0.5, 0, false, "1"},
        {1234.5, 0, false, "1235"},
        {2.5, 0, false, "3"},
        {345.6, 0, false, "346"},
        {2.675, 2, false, "2.68"},
        {2.25, 1, false, "2.3"},
        {1.5, 3, false, "1.500"},
        {1234.5, -2, false, "1200"},
        {0.1 + 0.2, {}, false, "0.3"},
        {nan, 1, false, "nan"},
        {-nan, 1, false, "-nan"},
        {inf, 1, false, "inf"},
        {-inf, 0, false, "-inf"},
        {1e15, 1, false, "1e+15.0"},
        {-1e15, 1, false, "-1e+15.0"},
        {1e300, 2, false, "1e+300.00"},
        {1.5e15, 1, false, "1.5e+15"},
        {1.5e15, 8, false, "1.5e+15000"},
        {1e16, {}, true, "1e+16"},
        {1e16, 1, true, "1e+16.0"},
        {1000000, {}, true, "1,000,000"},
        {-123, {}, true, "-123"},
        {-1234567.891, 2, true, "-1,234,567.89"},
        {123456, 1, true, "123,456.0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatNumber(c.x, c.decimals, c.thousands), c.expected)
            << c.x << " decimals " << c.decimals.value_or(-99);
    }
}

TEST(RoundHalfAway, HalvesAwayFromZero) {
    EXPECT_EQ(RoundHalfAway(0.5, 0), 1);
    EXPECT_EQ(RoundHalfAway(-0.5, 0), -1);
    EXPECT_EQ(RoundHalfAway(-1.45, 1), -1.5);
    EXPECT_EQ(RoundHalfAway(15, -1), 20);
    EXPECT_TRUE(std::signbit(RoundHalfAway(-0.04, 1)));
    EXPECT_TRUE(std::signbit(RoundHalfAway(-0.0, 1)));
    EXPECT_EQ(RoundHalfAway(1e300, 10), 1e300);  // scaling would overflow
    EXPECT_EQ(RoundHalfAway(7.0, 400), 7.0);
}

TEST(FloorToInt, NearIntegersAndRange) {
    const std::pair<double, int> cases[] = {
        {3.7, 3},
        {-2.5, -3},
        {2.9999999999995, 3},
        {4.9999999999999, 5},
        {-0.5, -1},
        {-0.9999999999999, -1},
        {-1.9999999999999, -2},
        {2.9999999, 2},
        {948.0 / 7, 135},
        {944.0 / 7, 134},
        {0, 0},
        {1e20, 2147483647},
        {-1e20, -2147483647 - 1},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& [x, expected] : cases) {
        EXPECT_EQ(FloorToInt(x), expected) << x;
    }
}

TEST(TruncateToInt32, NeverUndefined) {
    EXPECT_EQ(TruncateToInt32(-7.9), -7);
    EXPECT_EQ(TruncateToInt32(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(TruncateToInt32(3e9), 2147483647);
    EXPECT_EQ(TruncateToInt32(-std::numeric_limits<double>::infinity()), -2147483647 - 1);
}

TEST(DigitsValue, DigitsOnlyUpToTheLimit) {
    constexpr std::uint64_t kAll = std::numeric_limits<std::uint64_t>::max();
    EXPECT_EQ(DigitsValue("0", 9), 0u);
    EXPECT_EQ(DigitsValue("007", 9), 7u);
    EXPECT_EQ(DigitsValue("65535", 65535), 65535u);
    EXPECT_EQ(DigitsValue("18446744073709551615", kAll), kAll);
    // Past the limit, however the text gets there: no wrap-around.
    EXPECT_EQ(DigitsValue("65536", 65535), std::nullopt);
    EXPECT_EQ(DigitsValue("7", 5), std::nullopt);
    EXPECT_EQ(DigitsValue("18446744073709551616", kAll), std::nullopt);
    EXPECT_EQ(DigitsValue("99999999999999999999999", kAll), std::nullopt);
    EXPECT_EQ(DigitsValue("", kAll), std::nullopt);
    for (const std::string_view text :
         {"-5"sv, "+5"sv, " 5"sv, "5 "sv, "5a"sv, "1.0"sv, "\xA3\xB5"sv, "5\0"sv}) {
        EXPECT_EQ(DigitsValue(text, kAll), std::nullopt) << text;
    }
}

TEST(Arithmetic, DivisionAndHex) {
    EXPECT_EQ(IntegerDivide(7, 2), 3);
    EXPECT_EQ(IntegerDivide(-7, 2), -3);
    EXPECT_EQ(Remainder(7, 3), 1);
    EXPECT_EQ(Remainder(-7, 3), -1);
    EXPECT_EQ(HexText(10), "A");
    EXPECT_EQ(HexText(255), "FF");
    EXPECT_EQ(HexText(-1), "FFFFFFFF");
    EXPECT_EQ(HexText(0), "0");
}

struct RaisedError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

TEST(Arithmetic, ZeroDivisorRaisesRuntimeError) {
    SetRuntimeErrorHandler([](const std::string& message) { throw RaisedError(message); });
    try {
        IntegerDivide(1, 0);
        ADD_FAILURE() << "no error raised";
    } catch (const RaisedError& e) {
        EXPECT_STREQ(e.what(), "\xB2\xBB\xC4\xDC\xD5\xFB\xB3\xFD\xD3\xDA\xC1\xE3");
    }
    EXPECT_THROW(Remainder(1, -0.0), RaisedError);
    SetRuntimeErrorHandler(nullptr);
}

TEST(RuntimeErrorDeathTest, DefaultEndsTheProcessWithMinusOne) {
    EXPECT_EXIT(IntegerDivide(1, 0), testing::ExitedWithCode(255), "");
}

}  // namespace
}  // namespace mofeng::runtime
