#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "regex/Pcre2.h"

namespace mofeng::regex {

// A GBK pattern compiled once for matching UTF-8 text by characters. Immutable
// after construction apart from its anchored form, which is built once on
// first use under a once-flag, so one instance may be shared by several
// RegexObjects (and threads).
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
    // The same pattern matching only at the start offset it is given: finds
    // which attempt of a search hit a limit. Null when the pattern is invalid
    // or cannot be compiled so.
    const pcre2_code* AnchoredCode() const;
    // Number of capture groups; 0 for an invalid pattern.
    uint32_t GroupCount() const { return m_groupCount; }

private:
    std::string m_gbkPattern;
    bool m_caseSensitive;
    bool m_multiLine;
    pcre2_code* m_code = nullptr;
    mutable std::once_flag m_anchoredOnce;
    mutable pcre2_code* m_anchoredCode = nullptr;
    uint32_t m_groupCount = 0;
};

}  // namespace mofeng::regex
