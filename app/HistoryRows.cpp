#include "app/HistoryRows.h"

#include <ctime>
#include <mutex>

#include "app/MarketCells.h"
#include "query/IndexQueryRun.h"
#include "query/RowOutcome.h"

namespace mofeng::app {

std::optional<Observation> ObservationOfRow(const runtime::Row& stored, const std::string& day) {
    if (stored.size() <= static_cast<std::size_t>(query::kSeriesColumn)) {
        return std::nullopt;
    }
    const auto outcome = query::RowOutcomeFromText(stored[query::kOutcomeColumn]);
    if (!outcome || query::IsTrouble(*outcome) || *outcome == query::RowOutcome::NotQueried) {
        return std::nullopt;
    }
    Observation o;
    o.keyword = stored[query::kKeywordColumn];
    o.day = day;
    const auto first = stored.begin() + query::kFirstMetricColumn;
    o.figures.assign(first, first + 6);
    o.outcome = stored[query::kOutcomeColumn];
    o.series = stored[query::kSeriesColumn];
    o.market = MarketPairs(MarketRowOfCells(stored));
    return o;
}

std::string LocalToday() {
    // std::localtime shares one buffer: one caller at a time.
    static std::mutex mutex;
    const std::time_t now = std::time(nullptr);
    char text[16] = {};
    std::lock_guard lock(mutex);
    std::strftime(text, sizeof text, "%Y-%m-%d", std::localtime(&now));
    return text;
}

}  // namespace mofeng::app
