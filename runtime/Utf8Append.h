#pragma once

#include <string>

namespace mofeng::runtime {

// Appends the UTF-8 form of one code point (below 0x110000, not a surrogate).
void AppendUtf8(std::string& utf8, char32_t codePoint);

}  // namespace mofeng::runtime
