#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace mofeng::cli {

// A GBK cell as one UTF-8 output field: tabs and line breaks would split the
// field or its line, so they become spaces; every other C0 control, DEL and C1
// control (U+0080..U+009F) becomes U+FFFD, so server text cannot drive the
// terminal.
std::string TextField(const std::string& gbk);

// TextField(gbk) written to out piece by piece, so a huge cell is never held
// again in full as UTF-8.
void WriteTextField(std::ostream& out, std::string_view gbk);

// The same for a text that is UTF-8 already.
std::string SafeUtf8(std::string utf8);

}  // namespace mofeng::cli
