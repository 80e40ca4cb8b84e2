#pragma once

#include <string>
#include <string_view>

// Byte-exact operations on GBK texts. A text is a std::string of GBK bytes;
// the empty string is the empty text. Lengths and positions are byte counts,
// positions are 1-based, "not found" is -1. Any byte with the high bit set is
// taken as the lead byte of a double-byte character by the scanning
// operations, so a search never starts on a trail byte.
namespace mofeng::runtime {

int TextLength(std::string_view text);

// At most count bytes from position start, clipped at the end; empty when
// start < 1, start > length or count <= 0. May split a double-byte character.
std::string TextMid(std::string_view text, int start, int count);

// Position of the first occurrence of sought at or after start, or -1.
// ignoreCase folds ASCII letters byte by byte (trail bytes included).
int TextFind(std::string_view text, std::string_view sought, int start = 1,
             bool ignoreCase = false);

// Replaces occurrences of sought from start; count -1 means all. Without
// caseSensitive (the default) ASCII letters match regardless of case, as
// TextFind's ignoreCase does: here true means exact bytes.
std::string TextReplace(std::string_view text, std::string_view sought,
                        std::string_view replacement = {}, int start = 1, int count = -1,
                        bool caseSensitive = false);

// < 0, 0 or > 0; multibyte-aware; without caseSensitive ASCII letters compare
// equal regardless of case.
int TextCompare(std::string_view a, std::string_view b, bool caseSensitive);

// c with 'A'..'Z' folded to 'a'..'z'; every other byte as it is (trail
// bytes included, as the ignore-case searches fold them).
constexpr char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
// text with AsciiLower applied to every byte: for ASCII names (hosts,
// header names, charsets, paths).
std::string AsciiLower(std::string_view text);

// Appends text to out with '&', '<' and '>' (and '"' when quotes is true)
// written as HTML entities; every other byte as it is, so GBK and UTF-8 text
// alike stay whole.
void AppendHtmlEscaped(std::string& out, std::string_view text, bool quotes = false);

std::string SpaceText(int n);              // n ASCII spaces; empty when n < 1
std::string CharText(unsigned char code);  // the one-byte text; empty for 0

// Bytes taken as text: everything up to the first NUL byte.
std::string TextFromBytes(std::string_view bytes);
// The same text without a copy: a view of bytes up to the first NUL byte.
std::string_view TextViewFromBytes(std::string_view bytes);
// Empties text and hands its buffer back (assigning "" keeps the capacity).
void ReleaseText(std::string& text);

}  // namespace mofeng::runtime
