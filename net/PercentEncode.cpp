#include "net/PercentEncode.h"

#include "runtime/CodePage.h"

namespace mofeng::net {

std::string PercentEncodeUtf8(std::string_view gbk) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    const std::string utf8 = runtime::GbkToUtf8(gbk);
    std::string encoded;
    encoded.reserve(utf8.size() * 3);
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        encoded += '%';
        encoded += kHexDigits[byte >> 4];
        encoded += kHexDigits[byte & 0x0F];
    }
    return encoded;
}

}  // namespace mofeng::net
