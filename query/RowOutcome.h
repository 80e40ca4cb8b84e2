#pragma once

#include <optional>
#include <string_view>

namespace mofeng::query {

// How the lookups of one row (or one mining expansion) went, best first.
enum class RowOutcome {
    Normal,      // 正常: the values were found
    NoData,      // 无数据: a reply came but held no value
    Failed,      // 失败: a fetch failed after its retries
    Blocked,     // 被拦截: a login or verification page came instead
    NotQueried,  // 未查询: the run ended before the row
};

// The GBK text shown for an outcome.
std::string_view RowOutcomeText(RowOutcome outcome);
// The outcome a text names; nullopt for any other text (an empty cell too).
std::optional<RowOutcome> RowOutcomeFromText(std::string_view text);
// The worse of two lookups' outcomes (Blocked over Failed over NoData over Normal).
RowOutcome Worse(RowOutcome a, RowOutcome b);
// Failed or blocked: worth another try.
inline bool IsTrouble(RowOutcome outcome) {
    return outcome == RowOutcome::Failed || outcome == RowOutcome::Blocked;
}

// Storage cells of the keyword list after its eight shown columns: kept with
// the row (and by anything that saves rows), never shown as columns and never
// exported as spreadsheet columns.
inline constexpr int kOutcomeColumn = 8;  // RowOutcomeText
inline constexpr int kReasonColumn = 9;   // why the row failed (GBK), empty otherwise
inline constexpr int kSeriesColumn = 10;  // seven day values joined by ',', empty without
inline constexpr int kStoredColumnCount = 11;

}  // namespace mofeng::query
