#include "runtime/NumberOps.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "runtime/RuntimeError.h"
#include "runtime/RuntimeTexts.h"
#include "runtime/platform/CLocaleNumber.h"

namespace mofeng::runtime {
namespace {

constexpr int kNotAscii = 0x100;  // a double-byte character that folds to nothing ASCII

// Reads a GBK text as ASCII after full-width folding: full-width forms
// (A3 A1..FE), the ideographic space, '~' and '*' become their ASCII bytes.
class FoldedReader {
public:
    explicit FoldedReader(std::string_view text) : m_text(text) {}

    // The next folded byte, kNotAscii for another double-byte character, or
    // -1 at the end (a lead byte at the end of the text ends the reading).
    int Peek() const {
        if (m_at >= m_text.size()) {
            return -1;
        }
        const auto lead = static_cast<unsigned char>(m_text[m_at]);
        if (lead < 0x80) {
            return lead;
        }
        if (m_at + 1 >= m_text.size()) {
            return -1;
        }
        const auto trail = static_cast<unsigned char>(m_text[m_at + 1]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            return trail - 0x80;
        }
        if (lead == 0xA1) {
            switch (trail) {
                case 0xA1:
                    return ' ';
                case 0xAB:
                    return '~';
                case 0xEE:
                case 0xEF:
                    return '*';
                default:
                    break;
            }
        }
        return kNotAscii;
    }

    void Skip() { m_at += static_cast<unsigned char>(m_text[m_at]) < 0x80 ? 1 : 2; }

    // Appends the folded byte to out and moves on.
    void Take(std::string& out) {
        out.push_back(static_cast<char>(Peek()));
        Skip();
    }

private:
    std::string_view m_text;
    std::size_t m_at = 0;
};

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}
bool IsWhiteSpace(int c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Copies a run of digits; returns how many.
int TakeDigits(FoldedReader& reader, std::string& out) {
    int count = 0;
    while (IsDigit(reader.Peek())) {
        reader.Take(out);
        ++count;
    }
    return count;
}

std::string FormatG13(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
    return std::string(buffer, result.ptr);
}

// Powers of ten as pow computes them; infinite beyond the double range.
double PowerOfTen(int n) {
    return std::pow(10.0, n);
}

// True for a plain fixed-point number text: optional '-', digits, optional
// '.' and digits. Not for "nan", "inf" or exponent forms.
bool IsPlainNumber(std::string_view text) {
    if (!text.empty() && text.front() == '-') {
        text.remove_prefix(1);
    }
    if (text.empty() || !IsDigit(text.front())) {
        return false;
    }
    bool seenPoint = false;
    for (char c : text) {
        if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else if (!IsDigit(c)) {
            return false;
        }
    }
    return true;
}

void PadDecimals(std::string& text, int decimals) {
    const std::size_t point = text.find('.');
    if (point == std::string::npos) {
        text.push_back('.');
        text.append(static_cast<std::size_t>(decimals), '0');
        return;
    }
    const std::size_t present = text.size() - point - 1;
    if (present < static_cast<std::size_t>(decimals)) {
        text.append(static_cast<std::size_t>(decimals) - present, '0');
    }
}

void GroupThousands(std::string& text) {
    const std::size_t digitsBegin = !text.empty() && text.front() == '-' ? 1 : 0;
    const std::size_t digitsEnd = std::min(text.find('.'), text.size());
    std::string grouped = text.substr(0, digitsBegin);
    for (std::size_t i = digitsBegin; i < digitsEnd; ++i) {
        if (i > digitsBegin && (digitsEnd - i) % 3 == 0) {
            grouped.push_back(',');
        }
        grouped.push_back(text[i]);
    }
    grouped.append(text, digitsEnd);
    text = std::move(grouped);
}

}  // namespace

double ToNumber(std::string_view text) {
    return LeadingNumber(text).value_or(0.0);
}

std::optional<double> LeadingNumber(std::string_view text) {
    FoldedReader reader(text);
    while (IsWhiteSpace(reader.Peek())) {
        reader.Skip();
    }
    std::string number;  // the folded ASCII form of the leading number
    if (reader.Peek() == '+' || reader.Peek() == '-') {
        reader.Take(number);
    }
    int mantissaDigits = TakeDigits(reader, number);
    if (reader.Peek() == '.') {
        reader.Take(number);
        mantissaDigits += TakeDigits(reader, number);
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    if (reader.Peek() == 'e' || reader.Peek() == 'E') {
        // Taken only when digits follow: "5e" and "5e+" read as 5.
        FoldedReader look = reader;
        std::string exponent;
        look.Take(exponent);
        if (look.Peek() == '+' || look.Peek() == '-') {
            look.Take(exponent);
        }
        if (TakeDigits(look, exponent) > 0) {
            number += exponent;
        }
    }
    // The text is validated above, so strtod sees only a decimal number; the
    // C locale keeps '.' the decimal point whatever the process locale is.
    return platform::ParseDoubleInCLocale(number.c_str());
}

std::optional<std::uint64_t> DigitsValue(std::string_view text, std::uint64_t max) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : text) {
        if (!IsDigit(c)) {
            return std::nullopt;
        }
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (digit > max || value > (max - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

std::string ToText(int value) {
    return std::to_string(value);
}

std::string ToText(std::int64_t value) {
    return std::to_string(value);
}

std::string ToText(double value) {
    return FormatG13(value);
}

std::string ToText(bool value) {
    return value ? TrueText() : FalseText();
}

std::string FormatNumber(double x, std::optional<int> decimals, bool thousands) {
    if (decimals) {
        x = RoundHalfAway(x, *decimals);
    }
    std::string text = FormatG13(x);
    // Exponent forms are padded too ("1e+15" -> "1e+15.0"); "nan" and "inf" are not.
    if (decimals && *decimals > 0 && std::isfinite(x)) {
        PadDecimals(text, *decimals);
    }
    if (thousands && IsPlainNumber(text)) {
        GroupThousands(text);
    }
    return text;
}

double RoundHalfAway(double x, int n) {
    if (x == 0.0 || !std::isfinite(x)) {
        return x;
    }
    const bool negative = std::signbit(x);
    const double magnitude = std::fabs(x);
    const double scale = PowerOfTen(n < 0 ? -n : n);
    if (std::isinf(scale)) {
        // More decimals than a double holds, or a unit above every double.
        return n > 0 ? x : std::copysign(0.0, x);
    }
    const double scaled = n > 0 ? magnitude * scale : n < 0 ? magnitude / scale : magnitude;
    if (std::isinf(scaled)) {
        return x;  // already far coarser than the unit
    }
    const double t = scaled + 1e-12;
    double integral = std::trunc(t);
    if (t - integral >= 0.5) {
        integral += 1.0;
    }
    const double result = n > 0 ? integral / scale : n < 0 ? integral * scale : integral;
    return negative ? -result : result;
}

int FloorToInt(double x) {
    double integral = 0.0;
    const double fraction = std::modf(x, &integral);
    if (std::fabs(fraction) > 0.999999999999) {
        x = x > 0 ? integral + 1.0 : integral - 1.0;
    }
    return TruncateToInt32(std::floor(x));
}

std::string HexText(int value) {
    char buffer[16];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<unsigned>(value), 16);
    std::string text(buffer, result.ptr);
    for (char& c : text) {
        if (c >= 'a' && c <= 'f') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

double IntegerDivide(double a, double b) {
    if (b == 0.0) {
        RuntimeError(DivideByZeroMessage());
    }
    return std::trunc(a / b);
}

double Remainder(double a, double b) {
    if (b == 0.0) {
        RuntimeError(RemainderByZeroMessage());
    }
    return std::fmod(a, b);
}

std::int32_t TruncateToInt32(double x) {
    if (std::isnan(x)) {
        return 0;
    }
    if (x >= 2147483647.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (x <= -2147483648.0) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(x);
}

}  // namespace mofeng::runtime
