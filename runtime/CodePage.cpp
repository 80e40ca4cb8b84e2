#include "runtime/CodePage.h"

#include <algorithm>
#include <cstdint>

#include "runtime/Utf8Append.h"
#include "runtime/platform/CodePageConversion.h"

namespace mofeng::runtime {
namespace {

using platform::Conversion;
using platform::ConvertLeadingPart;

// Length of the well-formed UTF-8 sequence at the start of s, 0 when it is not one.
size_t Utf8SequenceLength(std::string_view s) {
    const auto b0 = static_cast<uint8_t>(s[0]);
    if (b0 < 0x80) {
        return 1;
    }
    size_t length = 0;
    uint8_t low = 0x80, high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0) {
            low = 0xA0;
        }
        if (b0 == 0xED) {
            high = 0x9F;  // no surrogates
        }
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0) {
            low = 0x90;
        }
        if (b0 == 0xF4) {
            high = 0x8F;
        }
    } else {
        return 0;
    }
    if (s.size() < length) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        const auto b = static_cast<uint8_t>(s[i]);
        if (b < (i == 1 ? low : 0x80) || b > (i == 1 ? high : 0xBF)) {
            return 0;
        }
    }
    return length;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
    std::string out;
    // Room for the worst case (every high byte a replacement character) up
    // front: growing a large result would copy it and briefly hold it twice.
    const auto high = static_cast<size_t>(std::count_if(
        gbk.begin(), gbk.end(), [](char c) { return static_cast<uint8_t>(c) >= 0x80; }));
    out.reserve(gbk.size() + 2 * high);
    while (!gbk.empty()) {
        gbk.remove_prefix(ConvertLeadingPart(Conversion::GbkToUtf8, gbk, out));
        if (gbk.empty()) {
            break;
        }
        // Not GBK here: a lone lead byte, an invalid pair or 0xFF.
        out += "\xEF\xBF\xBD";
        const auto lead = static_cast<uint8_t>(gbk[0]);
        const bool pairInvalid = lead >= 0x81 && lead <= 0xFE && gbk.size() >= 2 &&
                                 static_cast<uint8_t>(gbk[1]) >= 0x40 &&
                                 static_cast<uint8_t>(gbk[1]) != 0x7F;
        gbk.remove_prefix(pairInvalid ? 2 : 1);
    }
    return out;
}

std::string Utf8ToGbk(std::string_view utf8, std::string_view replacement) {
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        utf8.remove_prefix(ConvertLeadingPart(Conversion::Utf8ToGbk, utf8, out));
        if (utf8.empty()) {
            break;
        }
        out += replacement;
        const size_t length = Utf8SequenceLength(utf8);
        utf8.remove_prefix(length == 0 ? 1 : length);  // unmappable character or bad byte
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const size_t length = Utf8SequenceLength(bytes);
        if (length == 0) {
            return false;
        }
        bytes.remove_prefix(length);
    }
    return true;
}

std::string Utf16ToGbk(std::u16string_view utf16, std::string_view replacement) {
    std::string utf8;
    utf8.reserve(utf16.size() * 3);
    for (size_t i = 0; i < utf16.size(); ++i) {
        uint32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            utf8 += '\xFF';  // never UTF-8: converted to the replacement below
            continue;
        }
        AppendUtf8(utf8, cp);
    }
    return Utf8ToGbk(utf8, replacement);
}

bool HoldsNoGbkFormMark(std::string_view gbk) {
    for (size_t i = 0; i + 1 < gbk.size();) {
        const auto lead = static_cast<uint8_t>(gbk[i]);
        if (lead < 0x81 || lead == 0xFF) {
            ++i;
            continue;
        }
        if (gbk.substr(i, 2) == kNoGbkFormMark) {
            return true;
        }
        i += 2;
    }
    return false;
}

void AppendUtf8(std::string& utf8, char32_t codePoint) {
    const auto cp = static_cast<uint32_t>(codePoint);
    if (cp < 0x80) {
        utf8 += static_cast<char>(cp);
    } else if (cp < 0x800) {
        utf8 += static_cast<char>(0xC0 | (cp >> 6));
        utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        utf8 += static_cast<char>(0xE0 | (cp >> 12));
        utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        utf8 += static_cast<char>(0xF0 | (cp >> 18));
        utf8 += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace mofeng::runtime
