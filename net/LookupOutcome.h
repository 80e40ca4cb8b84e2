#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace mofeng::net {

// How the lookups of one query row or one mining expansion went, best first.
enum class LookupOutcome {
    Normal,      // 正常: the values were found
    NoData,      // 无数据: a reply came but held no value
    Partial,     // 部分: one endpoint gave its part, the other's host is marked unavailable
    Failed,      // 失败: a fetch failed after its retries
    Blocked,     // 被拦截: a login or verification page came instead
    NotQueried,  // 未查询: the run ended before the row
};

inline constexpr std::size_t kLookupOutcomeCount = 6;

// The GBK text shown for an outcome.
std::string_view OutcomeText(LookupOutcome outcome);
// The outcome a text names; nullopt for any other text (an empty cell too).
std::optional<LookupOutcome> OutcomeFromText(std::string_view text);
// The worse of two lookups' outcomes (Blocked over Failed over Partial over
// NoData over Normal).
LookupOutcome Worse(LookupOutcome a, LookupOutcome b);
// Failed or blocked: worth another try.
inline bool IsTrouble(LookupOutcome outcome) {
    return outcome == LookupOutcome::Failed || outcome == LookupOutcome::Blocked;
}

}  // namespace mofeng::net
