#include "runtime/TextOps.h"

#include <algorithm>
#include <string>

namespace mofeng::runtime {
namespace {

bool IsHighByte(unsigned char byte) {
    return (byte & 0x80) != 0;
}

unsigned char FoldAscii(unsigned char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

// Byte-wise equality of sought (not empty) with as many bytes at text[at];
// ignoreCase folds ASCII letters in every byte, trail bytes included.
bool MatchesAt(std::string_view text, std::size_t at, std::string_view sought, bool ignoreCase) {
    if (!ignoreCase) {
        return text[at] == sought[0] &&
               std::char_traits<char>::compare(text.data() + at, sought.data(), sought.size()) == 0;
    }
    for (std::size_t i = 0; i < sought.size(); ++i) {
        if (FoldAscii(static_cast<unsigned char>(text[at + i])) !=
            FoldAscii(static_cast<unsigned char>(sought[i]))) {
            return false;
        }
    }
    return true;
}

struct CharCode {
    unsigned value;     // ASCII byte, or (lead << 8 | trail) above every ASCII byte
    std::size_t width;  // bytes taken
};

// The character at text[at]: double-byte characters are never case-folded.
CharCode CharAt(std::string_view text, std::size_t at, bool caseSensitive) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (!IsHighByte(byte)) {
        return {caseSensitive ? byte : FoldAscii(byte), 1};
    }
    if (at + 1 < text.size()) {
        return {(static_cast<unsigned>(byte) << 8) | static_cast<unsigned char>(text[at + 1]), 2};
    }
    return {static_cast<unsigned>(byte) << 8, 1};  // lone lead byte at the end
}

}  // namespace

int TextLength(std::string_view text) {
    return static_cast<int>(text.size());
}

std::string TextMid(std::string_view text, int start, int count) {
    const auto length = static_cast<long long>(text.size());
    if (start < 1 || start > length || count <= 0) {
        return {};
    }
    const auto from = static_cast<std::size_t>(start - 1);
    return std::string(text.substr(from, static_cast<std::size_t>(count)));
}

int TextFind(std::string_view text, std::string_view sought, int start, bool ignoreCase) {
    const std::size_t length = text.size();
    const std::size_t skip = start > 1 ? static_cast<std::size_t>(start - 1) : 0;
    if (skip >= length) {
        return -1;
    }
    if (sought.empty()) {
        return 1;
    }
    // The first byte is tested here: most positions fail on it.
    const auto soughtFirst = static_cast<unsigned char>(sought[0]);
    const unsigned char first = ignoreCase ? FoldAscii(soughtFirst) : soughtFirst;
    std::size_t at = skip;
    while (length - at >= sought.size()) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if ((ignoreCase ? FoldAscii(byte) : byte) == first &&
            MatchesAt(text, at, sought, ignoreCase)) {
            return static_cast<int>(at + 1);
        }
        if (IsHighByte(byte)) {
            // A lead byte: its trail byte never starts a match. A lead byte
            // at the end of the text (or before a NUL) ends the search.
            if (at + 1 >= length || text[at + 1] == '\0') {
                return -1;
            }
            at += 2;
        } else {
            at += 1;
        }
    }
    return -1;
}

std::string TextReplace(std::string_view text, std::string_view sought,
                        std::string_view replacement, int start, int count, bool caseSensitive) {
    const std::size_t length = text.size();
    const std::size_t skip = start > 1 ? static_cast<std::size_t>(start - 1) : 0;
    if (text.empty() || sought.empty() || skip >= length || count == 0) {
        return std::string(text);
    }
    std::string result(text.substr(0, skip));
    result.reserve(length);
    int replaced = 0;
    std::size_t at = skip;
    while (length - at >= sought.size()) {
        if (MatchesAt(text, at, sought, !caseSensitive)) {
            result.append(replacement);
            at += sought.size();
            if (count > 0 && ++replaced == count) {
                break;
            }
        } else {
            // Copy one character. A lead byte that ends the text is kept: a
            // replacement never drops bytes that are not part of a match.
            const bool doubleByte =
                IsHighByte(static_cast<unsigned char>(text[at])) && at + 1 < length;
            const std::size_t width = doubleByte ? 2 : 1;
            result.append(text.substr(at, width));
            at += width;
        }
    }
    if (at < length) {
        result.append(text.substr(at));
    }
    return result;
}

int TextCompare(std::string_view a, std::string_view b, bool caseSensitive) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const CharCode ca = CharAt(a, i, caseSensitive);
        const CharCode cb = CharAt(b, j, caseSensitive);
        if (ca.value != cb.value) {
            return ca.value < cb.value ? -1 : 1;
        }
        i += ca.width;
        j += cb.width;
    }
    if (i < a.size()) {
        return 1;
    }
    return j < b.size() ? -1 : 0;
}

std::string SpaceText(int n) {
    return n > 0 ? std::string(static_cast<std::size_t>(n), ' ') : "";
}

std::string CharText(unsigned char code) {
    return code != 0 ? std::string(1, static_cast<char>(code)) : std::string();
}

std::string TextFromBytes(std::string_view bytes) {
    return std::string(TextViewFromBytes(bytes));
}

std::string_view TextViewFromBytes(std::string_view bytes) {
    return bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
}

void ReleaseText(std::string& text) {
    std::string().swap(text);
}

}  // namespace mofeng::runtime
