#include "query/IndexQueryRun.h"

#include <array>
#include <ctime>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "net/FetchSettings.h"
#include "net/FetchTexts.h"
#include "net/HostAvailability.h"
#include "query/UnavailableEndpoints.h"
#include "regex/RegexObject.h"
#include "runtime/ParallelRun.h"

namespace mofeng::query {
namespace {

void Count(QuerySummary& summary, RowOutcome outcome, int rows = 1) {
    summary.counts[static_cast<std::size_t>(outcome)] += rows;
}

// The columns a finished row reports, consecutive from kFirstMetricColumn.
constexpr std::array kReportedColumns{
    columns::Column::ListingCount, columns::Column::Yesterday,   columns::Column::Average,
    columns::Column::Trend,        columns::Column::Competition, columns::Column::Slope,
    columns::Column::Outcome,      columns::Column::Reason,      columns::Column::Series,
    columns::Column::FiguresTime,
};

constexpr bool Consecutive() {
    for (std::size_t i = 0; i < kReportedColumns.size(); ++i) {
        if (columns::Index(kReportedColumns[i]) != kFirstMetricColumn + static_cast<int>(i)) {
            return false;
        }
    }
    return true;
}
static_assert(Consecutive(), "a column among the reported ones needs its RowResult field");

// The cells a row reports, in the order of kReportedColumns; figuresTime
// from SettleFigures.
std::vector<std::string> ReportedCells(RowResult row, std::string figuresTime) {
    return {std::move(row.listingCount),
            std::move(row.yesterday),
            std::move(row.average),
            std::move(row.trend),
            std::move(row.competition),
            std::move(row.slope),
            std::string(RowOutcomeText(row.outcome)),
            std::move(row.reason),
            std::move(row.series),
            std::move(figuresTime)};
}

// Writes results into a table by row id and passes progress on.
class TableQuerySink final : public QuerySink {
public:
    TableQuerySink(runtime::Table& table, QueryObserver* observer)
        : m_table(table), m_observer(observer) {}

    void RunStarted(int total) override {
        if (m_observer != nullptr) {
            m_observer->RunStarted(total);
        }
    }
    bool RowExists(runtime::RowId id) override {
        // The first column, which is short: the keyword may be huge.
        return m_table.GetCellById(id, 0).has_value();
    }
    void RowResult(runtime::RowId id, int firstColumn, std::vector<std::string> cells) override {
        m_table.SetCellsById(id, firstColumn, std::move(cells));
    }
    void RowFinished(int done, int total) override {
        if (m_observer != nullptr) {
            m_observer->RowFinished(done, total);
        }
    }
    bool ResumeAfterBlocked(int streak) override {
        return m_observer != nullptr && m_observer->ResumeAfterBlocked(streak);
    }
    void EndpointUnavailable(const std::string& notice) override {
        if (m_observer != nullptr) {
            m_observer->EndpointUnavailable(notice);
        }
    }

private:
    runtime::Table& m_table;
    QueryObserver* m_observer;
};

// Tells of endpoints newly given up on, and turns the rows finished 失败
// before that, for that host alone, into 部分.
void ReportUnavailable(UnavailableEndpoints::Change change, QuerySink& sink,
                       QuerySummary& summary) {
    for (std::string& notice : change.notices) {
        sink.EndpointUnavailable(notice);
        summary.unavailableNotices.push_back(std::move(notice));
    }
    for (const runtime::RowId id : change.nowPartial) {
        Count(summary, RowOutcome::Failed, -1);
        Count(summary, RowOutcome::Partial);
        sink.RowResult(
            id, kOutcomeColumn,
            {std::string(RowOutcomeText(RowOutcome::Partial)), net::HostUnavailableReason()});
    }
}

}  // namespace

QuerySummary IndexQueryRun(const QueryRunInput& input, QuerySink& sink,
                           const runtime::CancelToken& cancel) {
    QuerySummary summary;
    const int total = static_cast<int>(input.rows.size());
    const int jobs = runtime::ClampJobs(input.jobs);
    sink.RunStarted(total);

    // One regex object per worker. Sink calls and the run's counts are
    // serialised by one lock; a pause for blocked rows holds it, so the other
    // workers wait with it.
    std::vector<std::unique_ptr<regex::RegexObject>> regexes(static_cast<std::size_t>(jobs));
    std::mutex mutex;
    std::vector<char> finished(input.rows.size(), 0);
    int done = 0;
    int blockedStreak = 0;
    bool stopped = false;  // for blocked rows
    net::HostAvailability hosts;
    UnavailableEndpoints endpointsDown(input.endpoints);
    runtime::ForEachInParallel(input.rows.size(), jobs, cancel, [&](int worker, std::size_t item) {
        const QueryRowInput& rowInput = input.rows[item];
        bool exists = false;
        {
            std::lock_guard lock(mutex);
            if (stopped) {
                return;
            }
            exists = sink.RowExists(rowInput.id);
        }
        std::optional<RowResult> row;
        if (exists) {
            auto& regex = regexes[static_cast<std::size_t>(worker)];
            if (!regex) {
                regex = std::make_unique<regex::RegexObject>();
            }
            row = QueryRow(input.endpoints, rowInput.keyword, *regex, &cancel, &hosts);
        }
        std::lock_guard lock(mutex);
        if (cancel.IsCancelled() || stopped) {
            return;
        }
        if (row) {
            Count(summary, row->outcome);
            blockedStreak = row->outcome == RowOutcome::Blocked ? blockedStreak + 1 : 0;
            endpointsDown.NoteRow(rowInput.id, *row);
            bool kept = false;
            std::string figuresTime = SettleFigures(
                *row, rowInput.shown, static_cast<std::int64_t>(std::time(nullptr)), kept);
            summary.keptFigures += kept ? 1 : 0;
            sink.RowResult(rowInput.id, kFirstMetricColumn,
                           ReportedCells(std::move(*row), std::move(figuresTime)));
        }
        ReportUnavailable(endpointsDown.Update(hosts), sink, summary);
        finished[item] = 1;
        sink.RowFinished(++done, total);
        const int pauseAfter = net::CurrentFetchSettings()->pauseAfterBlocked;
        if (pauseAfter > 0 && blockedStreak >= pauseAfter && done < total) {
            const bool resume = sink.ResumeAfterBlocked(blockedStreak);
            if (cancel.IsCancelled() || !resume) {
                stopped = true;
                summary.stoppedForBlocked = !cancel.IsCancelled();
                return;
            }
            blockedStreak = 0;
        }
    });
    if (cancel.IsCancelled()) {
        summary.cancelled = true;
        Count(summary, RowOutcome::NotQueried, total - done);
        return summary;
    }
    if (stopped) {
        for (std::size_t i = 0; i < input.rows.size(); ++i) {
            if (!finished[i]) {
                sink.RowResult(input.rows[i].id, kOutcomeColumn,
                               {std::string(RowOutcomeText(RowOutcome::NotQueried)), {}});
            }
        }
        Count(summary, RowOutcome::NotQueried, total - done);
    }
    return summary;
}

QuerySummary IndexQueryRun(const net::EndpointConfig& config, runtime::Table& table,
                           const runtime::CancelToken& cancel, QueryObserver* observer,
                           const std::vector<runtime::RowId>* onlyRows, int jobs) {
    QueryRunInput input;
    input.endpoints = config;
    input.jobs = jobs;
    for (const runtime::RowId id : onlyRows != nullptr ? *onlyRows : table.RowIds()) {
        // A row gone already is still counted, and skipped, by the run.
        std::optional<std::string> keyword = table.GetCellById(id, kKeywordColumn);
        input.rows.push_back(
            {id, keyword ? std::move(*keyword) : std::string(), ShownFiguresOf([&](int column) {
                 return table.GetCellById(id, column).value_or(std::string());
             })});
    }
    TableQuerySink sink(table, observer);
    return IndexQueryRun(input, sink, cancel);
}

std::vector<runtime::RowId> RowsToRetry(runtime::Table& table) {
    std::vector<runtime::RowId> rows;
    for (const runtime::RowId id : table.RowIds()) {
        const std::optional<std::string> text = table.GetCellById(id, kOutcomeColumn);
        const std::optional<RowOutcome> outcome = text ? RowOutcomeFromText(*text) : std::nullopt;
        if (outcome && (IsTrouble(*outcome) || *outcome == RowOutcome::NotQueried)) {
            rows.push_back(id);
        }
    }
    return rows;
}

}  // namespace mofeng::query
