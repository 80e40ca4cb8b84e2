#include "runtime/EscapedText.h"

namespace mofeng::runtime {

std::string JsonStringContent(std::string_view bytes, JsonSlash slash) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() + 8);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\' || (c == '/' && slash == JsonSlash::Escaped)) {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace mofeng::runtime
