#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Conversions between numbers and GBK texts, and the program's arithmetic.
namespace mofeng::runtime {

// Leading decimal number of the text after full-width folding (full-width
// digits, signs, point and space count as their ASCII forms): leading white
// space, optional sign, digits, optional fraction and exponent. 0 when the
// text does not begin with a number.
double ToNumber(std::string_view text);
// The number ToNumber reads, nullopt when the text does not begin with one:
// tells a text that reads 0 from one that holds no number.
std::optional<double> LeadingNumber(std::string_view text);

// A text of ASCII digits only (no sign, no white space, no full-width forms;
// leading zeros allowed) whose value is at most `max`; nullopt for anything
// else, however long the text.
std::optional<std::uint64_t> DigitsValue(std::string_view text, std::uint64_t max);

std::string ToText(int value);           // "%d"
std::string ToText(std::int64_t value);  // decimal
std::string ToText(double value);        // "%.13g"
std::string ToText(bool value);          // "真" / "假" (GBK)

// x rounded with RoundHalfAway when decimals is given, written as "%.13g",
// padded when decimals > 0: with no "." in the text, "." and `decimals` zeros
// are appended (exponent forms too: "1e+15.0"), otherwise zeros until
// `decimals` bytes follow the "."; "," grouping when thousands is true and the
// text is a plain fixed-point number. 0, NaN and infinities are not rounded,
// and NaN and infinities are not padded; a negative value that rounds to zero
// keeps its sign ("-0.0").
std::string FormatNumber(double x, std::optional<int> decimals = std::nullopt,
                         bool thousands = false);

// Half away from zero at n decimals (n may be negative), after a 1e-12 nudge
// of the scaled magnitude.
double RoundHalfAway(double x, int n);

// floor(x), where a value a hair (1e-12) below an integer counts as it.
int FloorToInt(double x);

std::string HexText(int value);  // "%X" of the unsigned value

// a / b with the fraction dropped (toward zero); b == 0 is a RuntimeError.
double IntegerDivide(double a, double b);
// Floating remainder with the sign of a; b == 0 is a RuntimeError.
double Remainder(double a, double b);

// double -> 32-bit signed integer, truncated toward zero; NaN gives 0 and
// out-of-range values saturate (the conversion must never be undefined).
std::int32_t TruncateToInt32(double x);

}  // namespace mofeng::runtime
