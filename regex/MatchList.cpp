#include "regex/MatchList.h"

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

}  // namespace

MatchList::Outcome MatchList::Collect(const CompiledPattern& pattern, std::string_view subject,
                                      bool global) {
    m_groupCount = pattern.GroupCount();
    m_stride = 2 * (static_cast<size_t>(m_groupCount) + 1);
    m_offsets.clear();

    std::unique_ptr<pcre2_match_context, MatchContextDeleter> context(
        pcre2_match_context_create(nullptr));
    std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
        pcre2_match_data_create_from_pattern(pattern.Code(), nullptr));
    if (!context || !data) {
        return Outcome::Stopped;
    }
    pcre2_set_match_limit(context.get(), kMatchLimit);
    pcre2_set_heap_limit(context.get(), kHeapLimitKiB);
    pcre2_set_depth_limit(context.get(), kDepthLimit);

    const auto* text = reinterpret_cast<PCRE2_SPTR>(subject.data());
    uint32_t options = 0;  // the first attempt validates the UTF-8 once
    size_t start = 0;
    while (start <= subject.size()) {
        int rc = pcre2_match(pattern.Code(), text, subject.size(), start, options, data.get(),
                             context.get());
        if (rc == PCRE2_ERROR_JIT_STACKLIMIT) {
            rc = pcre2_match(pattern.Code(), text, subject.size(), start, options | PCRE2_NO_JIT,
                             data.get(), context.get());
        }
        if (rc == PCRE2_ERROR_NOMATCH) {
            return Outcome::Complete;
        }
        if (rc < 0) {
            return Outcome::Stopped;
        }
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
        const size_t setPairs = rc == 0 ? m_groupCount + 1 : static_cast<size_t>(rc);
        for (size_t i = 0; i < m_stride; ++i) {
            m_offsets.push_back(i / 2 < setPairs ? ovector[i] : PCRE2_UNSET);
        }
        if (!global) {
            return Outcome::Complete;
        }
        options = PCRE2_NO_UTF_CHECK;
        const size_t matchStart = ovector[0];
        const size_t matchEnd = ovector[1];
        if (matchEnd > matchStart && matchEnd > start) {
            start = matchEnd;
        } else if (matchEnd >= subject.size()) {
            return Outcome::Complete;  // empty match at the end
        } else {
            start = NextCharacter(subject, matchEnd > start ? matchEnd : start);
        }
    }
    return Outcome::Complete;
}

}  // namespace mofeng::regex
