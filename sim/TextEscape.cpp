#include "sim/TextEscape.h"

#include <cstdint>

#include "runtime/CodePage.h"
#include "runtime/EscapedText.h"
#include "runtime/TextOps.h"

namespace mofeng::sim {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Length of the well-formed UTF-8 sequence at the start of s, 0 when there is none.
std::size_t SequenceLength(std::string_view s) {
    const auto b0 = static_cast<std::uint8_t>(s[0]);
    if (b0 < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        low = b0 == 0xE0 ? 0xA0 : 0x80;
        high = b0 == 0xED ? 0x9F : 0xBF;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        low = b0 == 0xF0 ? 0x90 : 0x80;
        high = b0 == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (s.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto b = static_cast<std::uint8_t>(s[i]);
        if (b < (i == 1 ? low : 0x80) || b > (i == 1 ? high : 0xBF)) {
            return 0;
        }
    }
    return length;
}

std::uint32_t DecodeSequence(std::string_view s, std::size_t length) {
    const auto b0 = static_cast<std::uint8_t>(s[0]);
    if (length == 1) {
        return b0;
    }
    std::uint32_t cp = b0 & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        cp = (cp << 6) | (static_cast<std::uint8_t>(s[i]) & 0x3F);
    }
    return cp;
}

void AppendHtmlAscii(char c, std::string& out) {
    runtime::AppendHtmlEscaped(out, std::string_view(&c, 1), true);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::string NormalizeKeyword(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t length = SequenceLength(bytes);
        if (length == 0) {
            out += kReplacement;
            bytes.remove_prefix(1);
            continue;
        }
        const auto b0 = static_cast<std::uint8_t>(bytes[0]);
        if (length == 1 && (b0 < 0x20 || b0 == 0x7F)) {
            out += ' ';
        } else {
            out.append(bytes.substr(0, length));
        }
        bytes.remove_prefix(length);
    }
    return out;
}

std::size_t CodePointCount(std::string_view utf8) {
    std::size_t count = 0;
    for (char c : utf8) {
        count += (static_cast<std::uint8_t>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

std::string HtmlTextForGbk(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + 8);
    while (!utf8.empty()) {
        std::size_t length = SequenceLength(utf8);
        if (length == 0) {
            length = 1;  // not UTF-8: passed on for the GBK conversion to replace
        }
        const std::string_view sequence = utf8.substr(0, length);
        if (length == 1) {
            AppendHtmlAscii(sequence[0], out);
        } else if (runtime::Utf8ToGbk(sequence) == "?") {
            out += "&#" + std::to_string(DecodeSequence(sequence, length)) + ';';
        } else {
            out.append(sequence);
        }
        utf8.remove_prefix(length);
    }
    return out;
}

std::string JsonStringContent(std::string_view utf8) {
    return runtime::JsonStringContent(utf8, runtime::JsonSlash::Escaped);
}

std::string PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
                   HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string PercentEncode(std::string_view bytes) {
    return runtime::PercentEncodeBytes(bytes);
}

}  // namespace mofeng::sim
