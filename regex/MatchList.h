#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "regex/CompiledPattern.h"

namespace mofeng::regex {

// The matches of one search as byte offsets into the UTF-8 subject: no text is
// copied, so thousands of matches over a large page stay small. Match and group
// indexes here are 0-based; group 0 is the whole match.
class MatchList final {
public:
    enum class Outcome {
        Complete,  // every match was found
        // An attempt hit a match or memory limit: it was skipped and the search
        // went on (ending after a bounded number of such attempts). The
        // matches found are kept.
        Incomplete,
    };

    // Finds the matches of pattern (which must be valid) in subject, which must be
    // well-formed UTF-8. The offsets kept take at most about the subject's size
    // (plus 1 MiB): a search whose matches would need more ends Incomplete at
    // that point. Global: all non-overlapping matches left to right; after
    // an empty match the next attempt starts one character further on, so a
    // match never starts inside a character.
    Outcome Collect(const CompiledPattern& pattern, std::string_view subject, bool global);

    int Count() const { return m_stride == 0 ? 0 : static_cast<int>(m_offsets.size() / m_stride); }
    uint32_t GroupCount() const { return m_groupCount; }
    // False for a group that took no part in the match. Indexes must be in range.
    bool IsSet(int match, uint32_t group) const { return Start(match, group) != kUnset; }
    size_t Start(int match, uint32_t group) const { return m_offsets[Index(match, group)]; }
    size_t End(int match, uint32_t group) const { return m_offsets[Index(match, group) + 1]; }

private:
    size_t Index(int match, uint32_t group) const {
        return static_cast<size_t>(match) * m_stride + 2 * static_cast<size_t>(group);
    }

    uint32_t m_groupCount = 0;
    size_t m_stride = 0;  // offsets per match: start and end of each group
    // 32 bits per offset: subjects of 4 GiB and more are refused.
    static constexpr uint32_t kUnset = UINT32_MAX;  // a group without a part
    std::vector<uint32_t> m_offsets;
};

}  // namespace mofeng::regex
