#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The platform's code-page converter between GBK (code page 936, 0x80 being
// the euro sign) and UTF-8: iconv on POSIX systems, MultiByteToWideChar and
// WideCharToMultiByte on Windows. runtime/CodePage builds the replacement
// rules on top of it.
namespace mofeng::runtime::platform {

enum class Conversion { GbkToUtf8, Utf8ToGbk };

// Converts the longest leading part of `in` that converts cleanly, appending
// the result to out, and returns that part's length in bytes: less than
// in.size() when it stops at a sequence that is not valid input or has no
// counterpart in the target. Any thread.
std::size_t ConvertLeadingPart(Conversion conversion, std::string_view in, std::string& out);

}  // namespace mofeng::runtime::platform
