#include "app/KeywordFileText.h"

#include <string_view>

#include "runtime/CodePage.h"

namespace mofeng::app {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool HasHighByte(std::string_view bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

// A trailing odd byte cannot form a code unit and is dropped.
std::string Utf16BytesToGbk(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(bigEndian ? static_cast<char16_t>(first << 8 | second)
                                  : static_cast<char16_t>(second << 8 | first));
    }
    return runtime::Utf16ToGbk(units);
}

}  // namespace

std::string KeywordFileToGbk(std::string bytes) {
    const std::string_view view = bytes;
    if (view.starts_with(kUtf8Mark)) {
        return runtime::Utf8ToGbk(view.substr(kUtf8Mark.size()));
    }
    if (view.starts_with(kUtf16LeMark)) {
        return Utf16BytesToGbk(view.substr(kUtf16LeMark.size()), false);
    }
    if (view.starts_with(kUtf16BeMark)) {
        return Utf16BytesToGbk(view.substr(kUtf16BeMark.size()), true);
    }
    // ASCII-only text is the same in both encodings; converting it would only cost time.
    if (HasHighByte(view) && runtime::IsValidUtf8(view)) {
        return runtime::Utf8ToGbk(view);
    }
    return bytes;
}

}  // namespace mofeng::app
