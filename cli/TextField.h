#pragma once

#include <string>

namespace mofeng::cli {

// A GBK cell as one UTF-8 output field: tabs and line breaks would split the
// field or its line, so they become spaces.
std::string TextField(const std::string& gbk);

}  // namespace mofeng::cli
