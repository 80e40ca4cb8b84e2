#pragma once

#include <string>
#include <string_view>

// Conversions between the program's text encoding (GBK, code page 936, where
// 0x80 is the euro sign) and UTF-8. They never fail and never truncate: what
// does not convert cleanly becomes a replacement character.
namespace mofeng::runtime {

// GBK bytes -> UTF-8. A byte sequence that is not GBK becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 bytes -> GBK. Invalid UTF-8, and characters GBK cannot hold, become
// the replacement ("?" unless given).
std::string Utf8ToGbk(std::string_view utf8, std::string_view replacement = "?");

// What stands for a character with no GBK form in an imported keyword: "〓"
// (the geta mark, GB2312 A1FE), visible, and never part of a real keyword. A
// keyword holding it is never sent anywhere.
inline constexpr std::string_view kNoGbkFormMark = "\xA1\xFE";
// True when the GBK text holds kNoGbkFormMark as a character of its own.
bool HoldsNoGbkFormMark(std::string_view gbk);

// True when the bytes are well-formed UTF-8 (ASCII alone counts as UTF-8).
bool IsValidUtf8(std::string_view bytes);

// UTF-16 code units (host byte order) -> GBK; unpaired surrogates, and
// characters GBK cannot hold, become the replacement.
std::string Utf16ToGbk(std::u16string_view utf16, std::string_view replacement = "?");

}  // namespace mofeng::runtime
