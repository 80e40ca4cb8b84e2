#include "runtime/TextOps.h"

#include <algorithm>
#include <cstring>
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

// Positions of sought's first byte (either case of an ASCII letter when case
// is ignored), in increasing order; npos once there are none.
class FirstByteScan {
public:
    FirstByteScan(std::string_view text, unsigned char first, bool ignoreCase)
        : m_text(text), m_first(ignoreCase ? FoldAscii(first) : first) {
        m_other = m_first;
        if (ignoreCase && m_first >= 'a' && m_first <= 'z') {
            m_other = static_cast<unsigned char>(m_first - ('a' - 'A'));
        }
    }

    std::size_t Next(std::size_t from) {
        if (m_other == m_first) {
            return Find(m_first, from);
        }
        // Each byte's next position is kept until the scan passes it.
        if (m_nextFirst < from || m_nextFirst == kUnknown) {
            m_nextFirst = Find(m_first, from);
        }
        if (m_nextOther < from || m_nextOther == kUnknown) {
            m_nextOther = Find(m_other, from);
        }
        return std::min(m_nextFirst, m_nextOther);
    }

private:
    static constexpr std::size_t kUnknown = std::string_view::npos - 1;

    std::size_t Find(unsigned char byte, std::size_t from) const {
        if (from >= m_text.size()) {
            return std::string_view::npos;
        }
        const void* found = std::memchr(m_text.data() + from, byte, m_text.size() - from);
        return found == nullptr
                   ? std::string_view::npos
                   : static_cast<std::size_t>(static_cast<const char*>(found) - m_text.data());
    }

    std::string_view m_text;
    unsigned char m_first;
    unsigned char m_other;
    std::size_t m_nextFirst = kUnknown;
    std::size_t m_nextOther = kUnknown;
};

// Answers, for increasing positions, what a byte-by-byte walk from a
// character start would see: whether a position starts a character (a
// double-byte character's trail never does) and whether the walk ended
// earlier at a lead byte followed by NUL. Every byte is looked at a bounded
// number of times over all questions.
class CharacterWalk {
public:
    CharacterWalk(std::string_view text, std::size_t start)
        : m_text(text), m_known(start), m_nulFrom(start) {}

    bool StartsCharacter(std::size_t at) {
        // The byte before a run of high bytes ends a character (or is the
        // known start), so the run pairs up from its first byte.
        std::size_t run = 0;
        std::size_t p = at;
        while (p > m_known && IsHighByte(static_cast<unsigned char>(m_text[p - 1]))) {
            --p;
            ++run;
        }
        const bool starts = run % 2 == 0;
        m_known = starts ? at : at + 1;
        return starts;
    }

    // Whether a lead byte followed by NUL starts a character before at (at
    // itself being a character start).
    bool StopsBefore(std::size_t at) {
        while (m_nulFrom < at) {
            const void* found = std::memchr(m_text.data() + m_nulFrom, '\0', at - m_nulFrom);
            if (found == nullptr) {
                m_nulFrom = at;
                return false;
            }
            const auto nul =
                static_cast<std::size_t>(static_cast<const char*>(found) - m_text.data());
            m_nulFrom = nul + 1;
            if (nul > m_start && IsHighByte(static_cast<unsigned char>(m_text[nul - 1])) &&
                LeadAt(nul - 1)) {
                return true;
            }
        }
        return false;
    }

private:
    // Whether the high byte at p starts a character; the byte after p is NUL,
    // so p is never inside the run ending at the last known start.
    bool LeadAt(std::size_t p) const {
        std::size_t run = 0;
        while (p > m_start && IsHighByte(static_cast<unsigned char>(m_text[p - 1]))) {
            --p;
            ++run;
        }
        return run % 2 == 0;
    }

    std::string_view m_text;
    std::size_t m_known;  // a character start at or before every later question
    std::size_t m_nulFrom;
    std::size_t m_start = m_known;
};

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
    if (sought.size() > length - skip) {
        return -1;
    }
    CharacterWalk walk(text, skip);
    FirstByteScan scan(text, static_cast<unsigned char>(sought[0]), ignoreCase);
    // A match may start at most here, where the last whole candidate fits.
    const std::size_t lastStart = length - sought.size();
    for (std::size_t at = scan.Next(skip); at <= lastStart; at = scan.Next(at + 1)) {
        if (!walk.StartsCharacter(at)) {
            continue;
        }
        if (walk.StopsBefore(at)) {
            return -1;
        }
        if (MatchesAt(text, at, sought, ignoreCase)) {
            return static_cast<int>(at + 1);
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

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = AsciiLower(c);
    }
    return lower;
}

void AppendHtmlEscaped(std::string& out, std::string_view text, bool quotes) {
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += quotes ? "&quot;" : "\"";
                break;
            default:
                out += c;
        }
    }
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
