#include "cli/TextField.h"

#include <ostream>

#include "runtime/CodePage.h"

namespace mofeng::cli {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::size_t kPieceBytes = 64 * 1024;

// Bytes of the GBK unit at the start of gbk as the conversion consumes it: a
// lead byte with a byte of the trail range is one pair, valid or not.
std::size_t GbkUnitLength(std::string_view gbk) {
    const auto lead = static_cast<unsigned char>(gbk[0]);
    if (lead < 0x81 || lead > 0xFE || gbk.size() < 2) {
        return 1;
    }
    const auto trail = static_cast<unsigned char>(gbk[1]);
    return trail >= 0x40 && trail != 0x7F ? 2 : 1;
}

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

void WriteTextField(std::ostream& out, std::string_view gbk) {
    if (gbk.size() <= kPieceBytes) {
        out << SafeUtf8(runtime::GbkToUtf8(gbk));
        return;
    }
    std::size_t pieceStart = 0;
    std::size_t at = 0;
    while (at < gbk.size()) {
        at += GbkUnitLength(gbk.substr(at));
        if (at - pieceStart >= kPieceBytes || at >= gbk.size()) {
            out << SafeUtf8(runtime::GbkToUtf8(gbk.substr(pieceStart, at - pieceStart)));
            pieceStart = at;
        }
    }
}

}  // namespace mofeng::cli
