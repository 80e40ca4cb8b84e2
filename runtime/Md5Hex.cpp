#include "runtime/Md5Hex.h"

#include "runtime/platform/Md5.h"

namespace mofeng::runtime {

std::string Md5Hex(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(32);
    for (const std::uint8_t byte : platform::Md5(bytes)) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 15];
    }
    return hex;
}

}  // namespace mofeng::runtime
