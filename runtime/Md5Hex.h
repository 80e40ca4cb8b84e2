#pragma once

#include <string>
#include <string_view>

namespace mofeng::runtime {

// Lower-case hex MD5 of bytes (32 characters), as request signs carry it.
std::string Md5Hex(std::string_view bytes);

}  // namespace mofeng::runtime
