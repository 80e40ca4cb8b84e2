#pragma once

#include <string>
#include <string_view>

// Conversions between the program's text encoding (GBK, code page 936, where
// 0x80 is the euro sign) and UTF-8. They never fail and never truncate: what
// does not convert cleanly becomes a replacement character.
namespace mofeng::runtime {

// GBK bytes -> UTF-8. A byte sequence that is not GBK becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 bytes -> GBK. Invalid UTF-8, and characters GBK cannot hold, become "?".
std::string Utf8ToGbk(std::string_view utf8);

// True when the bytes are well-formed UTF-8 (ASCII alone counts as UTF-8).
bool IsValidUtf8(std::string_view bytes);

// UTF-16 code units (host byte order) -> GBK; unpaired surrogates become "?".
std::string Utf16ToGbk(std::u16string_view utf16);

}  // namespace mofeng::runtime
