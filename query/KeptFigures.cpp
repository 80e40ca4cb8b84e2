#include "query/KeptFigures.h"

#include <algorithm>

#include "query/IndexQueryRun.h"
#include "query/RowOutcome.h"

namespace mofeng::query {

bool ShownFigures::Any() const {
    return std::any_of(cells.begin(), cells.end(), [](const std::string& c) { return !c.empty(); });
}

ShownFigures ShownFiguresOf(const std::function<std::string(int column)>& cell) {
    ShownFigures shown;
    for (std::size_t i = 0; i < shown.cells.size(); ++i) {
        shown.cells[i] = cell(kFirstMetricColumn + static_cast<int>(i));
    }
    shown.series = cell(kSeriesColumn);
    shown.receivedAt = cell(kFiguresTimeColumn);
    return shown;
}

namespace {

// A lookup that did not bring every figure of the row.
bool LeavesFiguresOut(RowOutcome outcome) {
    return IsTrouble(outcome) || outcome == RowOutcome::Partial;
}

}  // namespace

std::string SettleFigures(RowResult& fresh, const ShownFigures& shown, std::int64_t now,
                          bool& kept) {
    kept = false;
    if (!LeavesFiguresOut(fresh.outcome)) {
        return std::to_string(now);
    }
    if (!shown.Any()) {
        return {};
    }
    kept = true;
    fresh.listingCount = shown.cells[0];
    fresh.yesterday = shown.cells[1];
    fresh.average = shown.cells[2];
    fresh.trend = shown.cells[3];
    fresh.competition = shown.cells[4];
    fresh.slope = shown.cells[5];
    fresh.series = shown.series;
    return shown.receivedAt.empty() ? std::string(kUnknownFiguresTime) : shown.receivedAt;
}

bool ShowsKeptFigures(std::string_view outcomeCell, std::string_view figuresTimeCell) {
    const std::optional<RowOutcome> outcome = RowOutcomeFromText(outcomeCell);
    return outcome && LeavesFiguresOut(*outcome) && !figuresTimeCell.empty();
}

}  // namespace mofeng::query
