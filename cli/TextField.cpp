#include "cli/TextField.h"

#include "runtime/CodePage.h"

namespace mofeng::cli {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

std::string SafeUtf8(std::string utf8) {
    std::string safe;
    safe.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte == '\t' || byte == '\r' || byte == '\n') {
            safe += ' ';
        } else if (byte < 0x20 || byte == 0x7F) {
            safe += kReplacement;
        } else if (byte == 0xC2 && i + 1 < utf8.size() &&
                   static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            safe += kReplacement;  // C1 control, two bytes in UTF-8
            ++i;
        } else {
            safe += utf8[i];
        }
    }
    return safe;
}

std::string TextField(const std::string& gbk) {
    return SafeUtf8(runtime::GbkToUtf8(gbk));
}

}  // namespace mofeng::cli
