#pragma once

#include "columns/KeywordListSchema.h"
#include "net/LookupOutcome.h"

namespace mofeng::query {

using RowOutcome = net::LookupOutcome;
using net::IsTrouble;
using net::Worse;
inline std::string_view RowOutcomeText(RowOutcome outcome) {
    return net::OutcomeText(outcome);
}
inline std::optional<RowOutcome> RowOutcomeFromText(std::string_view text) {
    return net::OutcomeFromText(text);
}

// Storage cells of the keyword list after its shown columns: kept with the
// row (and by anything that saves rows).
inline constexpr int kOutcomeColumn = columns::Index(columns::Column::Outcome);
inline constexpr int kReasonColumn = columns::Index(columns::Column::Reason);
inline constexpr int kSeriesColumn = columns::Index(columns::Column::Series);
// When the figures of the figure columns arrived (Unix seconds, decimal);
// empty when the row shows none of its own. Kept with figures a failed
// re-query did not replace (query/KeptFigures.h).
inline constexpr int kFiguresTimeColumn = columns::Index(columns::Column::FiguresTime);
inline constexpr int kStoredColumnCount = columns::kColumnCount;

}  // namespace mofeng::query
