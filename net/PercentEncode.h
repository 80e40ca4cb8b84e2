#pragma once

#include <string>
#include <string_view>

namespace mofeng::net {

// GBK text -> UTF-8 -> every byte as "%XX" (uppercase hex), letters and digits
// included: "a 1" gives "%61%20%31".
std::string PercentEncodeUtf8(std::string_view gbk);

}  // namespace mofeng::net
