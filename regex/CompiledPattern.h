#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "regex/Pcre2.h"

namespace mofeng::regex {

// A GBK pattern compiled once for matching UTF-8 text by characters. Immutable
// after construction, so one instance may be shared by several RegexObjects
// (and threads): matching only reads it.
class CompiledPattern final {
public:
    // Never throws for a bad pattern: IsValid() is false instead.
    CompiledPattern(std::string_view gbkPattern, bool caseSensitive, bool multiLine);
    ~CompiledPattern();
    CompiledPattern(const CompiledPattern&) = delete;
    CompiledPattern& operator=(const CompiledPattern&) = delete;

    // True when this was compiled from exactly these bytes and options.
    bool IsSameAs(std::string_view gbkPattern, bool caseSensitive, bool multiLine) const;

    bool IsValid() const { return m_code != nullptr; }
    // Null when the pattern is invalid.
    const pcre2_code* Code() const { return m_code; }
    // Number of capture groups; 0 for an invalid pattern.
    uint32_t GroupCount() const { return m_groupCount; }

private:
    std::string m_gbkPattern;
    bool m_caseSensitive;
    bool m_multiLine;
    pcre2_code* m_code = nullptr;
    uint32_t m_groupCount = 0;
};

}  // namespace mofeng::regex
