#pragma once

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

// Storage cells of the keyword list after its eight shown columns: kept with
// the row (and by anything that saves rows), never shown as columns and never
// exported as spreadsheet columns.
inline constexpr int kOutcomeColumn = 8;  // RowOutcomeText
inline constexpr int kReasonColumn = 9;   // why the row failed (GBK), empty otherwise
inline constexpr int kSeriesColumn = 10;  // seven day values joined by ',', empty without
// When the figures of columns 2 to 7 arrived (Unix seconds, decimal); empty
// when the row shows none of its own. Kept with figures a failed re-query
// did not replace (query/KeptFigures.h).
inline constexpr int kFiguresTimeColumn = 11;
inline constexpr int kStoredColumnCount = 12;

}  // namespace mofeng::query
