#include "app/KeywordFileText.h"

#include <algorithm>

#include "runtime/CodePage.h"

namespace mofeng::app {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
// How much of a file the UTF-16 pattern is checked on.
constexpr std::size_t kUtf16ProbeBytes = 4096;

unsigned char At(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

bool HasHighByte(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// A trailing odd byte cannot form a code unit and is dropped.
std::string Utf16BytesToGbk(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = At(bytes, i);
        const auto second = At(bytes, i + 1);
        units.push_back(bigEndian ? static_cast<char16_t>(first << 8 | second)
                                  : static_cast<char16_t>(second << 8 | first));
    }
    return runtime::Utf16ToGbk(units, runtime::kNoGbkFormMark);
}

// Byte order of UTF-16 without a mark: 'L', 'B', or 0 when it is not that.
char Utf16OrderWithoutMark(std::string_view head) {
    if (head.size() < 2 || (At(head, 0) == 0) == (At(head, 1) == 0)) {
        return 0;
    }
    const bool bigEndian = At(head, 0) == 0;
    const std::size_t probe = std::min(head.size(), kUtf16ProbeBytes) & ~std::size_t{1};
    std::size_t zeroHigh = 0;
    for (std::size_t i = 0; i < probe; i += 2) {
        zeroHigh += At(head, bigEndian ? i : i + 1) == 0 ? 1 : 0;
    }
    return zeroHigh * 2 >= probe / 2 ? (bigEndian ? 'B' : 'L') : 0;
}

bool IsCommonGbk(unsigned char lead, unsigned char trail) {
    if (trail < 0xA1 || trail == 0xFF) {
        return false;
    }
    const bool symbol = lead >= 0xA1 && lead <= 0xA9;
    const bool levelOne = lead >= 0xB0 && lead <= 0xD7 && !(lead == 0xD7 && trail > 0xF9);
    return symbol || levelOne;
}

std::size_t CountOf(std::string_view bytes, std::string_view part) {
    std::size_t count = 0;
    for (std::size_t at = bytes.find(part); at != std::string_view::npos;
         at = bytes.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

}  // namespace

bool LooksLikeUtf16(std::string_view head) {
    return head.starts_with(kUtf16LeMark) || head.starts_with(kUtf16BeMark) ||
           Utf16OrderWithoutMark(head) != 0;
}

GbkCommonness CommonnessOfGbk(std::string_view bytes) {
    GbkCommonness result;
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size;) {
        const unsigned char lead = At(bytes, i);
        if (lead < 0x80) {
            ++i;
        } else if (lead == 0x80) {  // the euro sign of code page 936
            ++result.uncommon;
            ++i;
        } else if (lead == 0xFF || i + 1 == size) {
            result.valid = false;
            ++i;
        } else {
            const unsigned char trail = At(bytes, i + 1);
            if (trail < 0x40 || trail == 0x7F || trail == 0xFF) {
                result.valid = false;
                ++i;
                continue;
            }
            result.uncommon += IsCommonGbk(lead, trail) ? 0 : 1;
            i += 2;
        }
    }
    return result;
}

std::string KeywordFileToGbk(std::string bytes) {
    const std::string_view view = bytes;
    if (view.starts_with(kUtf8Mark)) {
        return runtime::Utf8ToGbk(view.substr(kUtf8Mark.size()), runtime::kNoGbkFormMark);
    }
    if (view.starts_with(kUtf16LeMark)) {
        return Utf16BytesToGbk(view.substr(kUtf16LeMark.size()), false);
    }
    if (view.starts_with(kUtf16BeMark)) {
        return Utf16BytesToGbk(view.substr(kUtf16BeMark.size()), true);
    }
    if (const char order = Utf16OrderWithoutMark(view)) {
        return Utf16BytesToGbk(view, order == 'B');
    }
    // ASCII-only text is the same in both encodings; converting it would only cost time.
    if (!HasHighByte(view) || !runtime::IsValidUtf8(view)) {
        return bytes;
    }
    const GbkCommonness asGbk = CommonnessOfGbk(view);
    std::string converted = runtime::Utf8ToGbk(view, runtime::kNoGbkFormMark);
    if (!asGbk.valid) {
        return converted;
    }
    // Every mark stands for a character GBK cannot hold.
    const std::size_t unconvertible = CountOf(converted, runtime::kNoGbkFormMark);
    const std::size_t asUtf8 = CommonnessOfGbk(converted).uncommon + unconvertible;
    return asUtf8 < asGbk.uncommon ? converted : bytes;
}

}  // namespace mofeng::app
