#include "query/IndexQueryRun.h"

#include <optional>
#include <string>
#include <vector>

#include "net/FetchSettings.h"
#include "regex/RegexObject.h"

namespace mofeng::query {
namespace {

void Count(QuerySummary& summary, RowOutcome outcome, int rows = 1) {
    summary.counts[static_cast<std::size_t>(outcome)] += rows;
}

// Marks rows [from, end) of ids as not queried; their other cells stay.
void MarkNotQueried(runtime::Table& table, const std::vector<runtime::RowId>& ids,
                    std::size_t from) {
    for (std::size_t i = from; i < ids.size(); ++i)
        table.SetCellsById(ids[i], kOutcomeColumn,
                           {std::string(RowOutcomeText(RowOutcome::NotQueried)), {}, {}});
}

}  // namespace

QuerySummary IndexQueryRun(const net::EndpointConfig& config, runtime::Table& table,
                           runtime::Notifier& notifier, const runtime::CancelToken& cancel,
                           QueryObserver* observer, const std::vector<runtime::RowId>* onlyRows) {
    QuerySummary summary;
    regex::RegexObject regex;
    const std::vector<runtime::RowId> ids = onlyRows != nullptr ? *onlyRows : table.RowIds();
    const int total = static_cast<int>(ids.size());
    if (observer != nullptr)
        observer->RunStarted(total);

    int blockedStreak = 0;
    for (int done = 0; done < total; ++done) {
        if (cancel.IsCancelled()) {
            summary.cancelled = true;
            Count(summary, RowOutcome::NotQueried, total - done);
            return summary;
        }
        const runtime::RowId id = ids[static_cast<std::size_t>(done)];
        if (const std::optional<std::string> keyword = table.GetCellById(id, kKeywordColumn)) {
            RowResult row = QueryRow(config, *keyword, regex, &cancel);
            if (cancel.IsCancelled()) {
                summary.cancelled = true;
                Count(summary, RowOutcome::NotQueried, total - done);
                return summary;
            }
            std::vector<std::string> cells(row.cells.begin(), row.cells.end());
            cells.emplace_back(RowOutcomeText(row.outcome));
            cells.push_back(std::move(row.reason));
            cells.push_back(std::move(row.series));
            // A table without the storage cells simply drops the last three.
            table.SetCellsById(id, kFirstMetricColumn, std::move(cells));
            Count(summary, row.outcome);
            blockedStreak = row.outcome == RowOutcome::Blocked ? blockedStreak + 1 : 0;
        }
        if (observer != nullptr)
            observer->RowFinished(done + 1, total);
        const int pauseAfter = net::CurrentFetchSettings()->pauseAfterBlocked;
        if (pauseAfter > 0 && blockedStreak >= pauseAfter && done + 1 < total) {
            const bool resume = observer != nullptr && observer->ResumeAfterBlocked(blockedStreak);
            if (cancel.IsCancelled() || !resume) {
                summary.stoppedForBlocked = !cancel.IsCancelled();
                summary.cancelled = cancel.IsCancelled();
                MarkNotQueried(table, ids, static_cast<std::size_t>(done) + 1);
                Count(summary, RowOutcome::NotQueried, total - done - 1);
                return summary;
            }
            blockedStreak = 0;
        }
    }
    if (cancel.IsCancelled()) {
        summary.cancelled = true;
        return summary;
    }
    notifier.ShowMessage(std::string(kQueryDoneText), runtime::kMessageInformation);
    return summary;
}

std::vector<runtime::RowId> RowsToRetry(runtime::Table& table) {
    std::vector<runtime::RowId> rows;
    for (const runtime::RowId id : table.RowIds()) {
        const std::optional<std::string> text = table.GetCellById(id, kOutcomeColumn);
        const std::optional<RowOutcome> outcome = text ? RowOutcomeFromText(*text) : std::nullopt;
        if (outcome && (IsTrouble(*outcome) || *outcome == RowOutcome::NotQueried))
            rows.push_back(id);
    }
    return rows;
}

}  // namespace mofeng::query
