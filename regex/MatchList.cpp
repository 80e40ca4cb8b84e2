#include "regex/MatchList.h"

#include <algorithm>
#include <memory>

namespace mofeng::regex {
namespace {

// Per start position: the interpreter gives up after this many backtracking
// steps, and keeps its backtracking frames (which live on the heap, not the
// machine stack) under this many KiB and this nesting depth. JIT code uses a
// small stack of its own and reports when that is exhausted; the attempt is
// then repeated by the interpreter under the same limits.
constexpr uint32_t kMatchLimit = 10'000'000;
constexpr uint32_t kHeapLimitKiB = 64 * 1024;
constexpr uint32_t kDepthLimit = 1'000'000;
// Attempts that hit a limit are skipped; after this many the search ends, so
// its time stays within about twice as many limits' worth of steps.
constexpr int kMaxSkippedAttempts = 16;
// Offsets kept beyond the subject's own size, so small subjects with many
// short matches are not cut short.
constexpr size_t kOffsetAllowanceBytes = size_t{1} << 20;

struct MatchContextDeleter {
    void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
struct MatchDataDeleter {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};

size_t NextCharacter(std::string_view utf8, size_t offset) {
    ++offset;
    while (offset < utf8.size() && (static_cast<unsigned char>(utf8[offset]) & 0xC0) == 0x80) {
        ++offset;
    }
    return offset;
}

bool HitALimit(int rc) {
    return rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT ||
           rc == PCRE2_ERROR_HEAPLIMIT || rc == PCRE2_ERROR_JIT_STACKLIMIT;
}

// pcre2_match under the limits, falling back to the interpreter when the JIT
// stack runs out.
class Matcher final {
public:
    Matcher(std::string_view subject, pcre2_match_data* data, pcre2_match_context* context)
        : m_subject(subject), m_data(data), m_context(context) {}

    int Run(const pcre2_code* code, size_t start, uint32_t options) const {
        const auto* text = reinterpret_cast<PCRE2_SPTR>(m_subject.data());
        int rc = pcre2_match(code, text, m_subject.size(), start, options, m_data, m_context);
        if (rc == PCRE2_ERROR_JIT_STACKLIMIT) {
            rc = pcre2_match(code, text, m_subject.size(), start, options | PCRE2_NO_JIT, m_data,
                             m_context);
        }
        return rc;
    }

private:
    std::string_view m_subject;
    pcre2_match_data* m_data;
    pcre2_match_context* m_context;
};

}  // namespace

MatchList::Outcome MatchList::Collect(const CompiledPattern& pattern, std::string_view subject,
                                      bool global) {
    m_groupCount = pattern.GroupCount();
    m_stride = 2 * (static_cast<size_t>(m_groupCount) + 1);
    m_offsets.clear();
    if (subject.size() >= kUnset) {
        return Outcome::Incomplete;
    }
    const size_t offsetBudget = (subject.size() + kOffsetAllowanceBytes) / sizeof(uint32_t);

    std::unique_ptr<pcre2_match_context, MatchContextDeleter> context(
        pcre2_match_context_create(nullptr));
    std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
        pcre2_match_data_create_from_pattern(pattern.Code(), nullptr));
    if (!context || !data) {
        return Outcome::Incomplete;
    }
    pcre2_set_match_limit(context.get(), kMatchLimit);
    pcre2_set_heap_limit(context.get(), kHeapLimitKiB);
    pcre2_set_depth_limit(context.get(), kDepthLimit);
    const Matcher matcher(subject, data.get(), context.get());

    uint32_t options = 0;  // the first attempt validates the UTF-8 once
    int skipped = 0;
    size_t start = 0;
    while (start <= subject.size()) {
        int rc = matcher.Run(pattern.Code(), start, options);
        options = PCRE2_NO_UTF_CHECK;
        if (HitALimit(rc)) {
            // Some attempt at or after start hit the limit and no earlier one
            // matched: find it by anchored attempts and go on past it.
            const pcre2_code* anchored = pattern.AnchoredCode();
            if (anchored == nullptr) {
                return Outcome::Incomplete;
            }
            size_t at = start;
            while (at <= subject.size() &&
                   (rc = matcher.Run(anchored, at, options)) == PCRE2_ERROR_NOMATCH) {
                at = NextCharacter(subject, at);
            }
            if (HitALimit(rc)) {
                if (++skipped > kMaxSkippedAttempts) {
                    return Outcome::Incomplete;
                }
                start = NextCharacter(subject, at);
                continue;
            }
        }
        if (rc == PCRE2_ERROR_NOMATCH) {
            return skipped > 0 ? Outcome::Incomplete : Outcome::Complete;
        }
        if (rc < 0) {
            return Outcome::Incomplete;
        }
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
        const size_t setPairs = rc == 0 ? m_groupCount + 1 : static_cast<size_t>(rc);
        if (m_offsets.size() + m_stride > offsetBudget) {
            return Outcome::Incomplete;
        }
        if (m_offsets.size() + m_stride > m_offsets.capacity()) {
            // Geometric growth, but never past the budget.
            m_offsets.reserve(std::min(offsetBudget, 2 * m_offsets.capacity() + m_stride));
        }
        for (size_t i = 0; i < m_stride; ++i) {
            m_offsets.push_back(i / 2 < setPairs ? static_cast<uint32_t>(ovector[i]) : kUnset);
        }
        const size_t matchStart = ovector[0];
        const size_t matchEnd = ovector[1];
        if (!global) {
            break;
        }
        if (matchEnd > matchStart && matchEnd > start) {
            start = matchEnd;
        } else if (matchEnd >= subject.size()) {
            break;  // empty match at the end
        } else {
            start = NextCharacter(subject, matchEnd > start ? matchEnd : start);
        }
    }
    return skipped > 0 ? Outcome::Incomplete : Outcome::Complete;
}

}  // namespace mofeng::regex
