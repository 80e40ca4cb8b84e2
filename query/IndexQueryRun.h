#pragma once

#include <array>
#include <string>
#include <vector>

#include "columns/KeywordListSchema.h"
#include "net/EndpointConfig.h"
#include "query/QueryRow.h"
#include "query/QuerySink.h"
#include "query/RowOutcome.h"
#include "runtime/CancelToken.h"
#include "runtime/Table.h"

namespace mofeng::query {

// Columns of the keyword list that a query run reads and writes.
inline constexpr int kKeywordColumn = columns::Index(columns::Column::Keyword);
// The listing count, then the five metric texts.
inline constexpr int kFirstMetricColumn = columns::Index(columns::Column::ListingCount);

// Told when a run has taken its rows and after each row (rows done counts
// skipped rows too). Called on the run's thread.
class QueryObserver {
public:
    virtual ~QueryObserver() = default;
    virtual void RunStarted(int rowsTotal) {}
    virtual void RowFinished(int rowsDone, int rowsTotal) = 0;
    // After `streak` rows in a row ended 被拦截: true resumes the run (with
    // the fetch settings as they are then), false stops it. The default stops.
    virtual bool ResumeAfterBlocked(int streak) { return false; }
    // As QuerySink::EndpointUnavailable.
    virtual void EndpointUnavailable(const std::string& notice) {}
};

// What a run did, one count per RowOutcome.
struct QuerySummary {
    std::array<int, net::kLookupOutcomeCount> counts{};
    int keptFigures = 0;  // failed or blocked rows that kept their earlier figures
    bool stoppedForBlocked = false;
    bool cancelled = false;
    // One notice per endpoint the run stopped asking (GBK), in the order given.
    std::vector<std::string> unavailableNotices;

    // Neither cancelled nor stopped for blocked rows: every row was visited.
    bool VisitedEveryRow() const { return !cancelled && !stoppedForBlocked; }
    int Count(RowOutcome outcome) const { return counts[static_cast<std::size_t>(outcome)]; }
    bool AnyTrouble() const {
        return Count(RowOutcome::Failed) > 0 || Count(RowOutcome::Blocked) > 0;
    }
};

// Fills columns 2 to 7 of every row of input.rows: each row makes its
// lookups with QueryRow (trend, then search page) and reports the six texts,
// then the outcome, reason, series and figures-time cells (RowOutcome.h),
// once by id; a row whose lookup failed or was blocked keeps the figures it
// showed (SettleFigures). Up to
// input.jobs rows are in flight at a time; with any number of jobs each row's
// cells are exactly those of one job, and with one job the requests go trend
// 1, search 1, trend 2, ... in list order. Rows the sink says are gone are
// skipped without a request. A raised cancel token ends the run at once:
// every fetch in flight returns and nothing more is reported. After the
// configured number of rows in a row (in the order they finish) ended 被拦截,
// the sink decides whether the run goes on, while the other rows wait; a
// stopped run reports its unfinished rows 未查询. A host that fails to connect
// net::HostAvailability::kFailuresToMark times in a row is not asked again in
// this run (the sink is told once per endpoint); a later run tries it again.
// Blocks the calling thread until every worker ended, then hands back what the
// run did.
QuerySummary IndexQueryRun(const QueryRunInput& input, QuerySink& sink,
                           const runtime::CancelToken& cancel);

// The run over a thread-safe table (the command line, tests), over every row
// or the rows in onlyRows: rows are taken by id at the start and results
// written straight into the table, so rows added later are not visited,
// cleared rows are skipped and a reordering never moves a result into another
// keyword's row. A table without the storage cells drops the last three.
QuerySummary IndexQueryRun(const net::EndpointConfig& config, runtime::Table& table,
                           const runtime::CancelToken& cancel, QueryObserver* observer = nullptr,
                           const std::vector<runtime::RowId>* onlyRows = nullptr, int jobs = 1);

// The rows a retry run visits: those marked 失败, 被拦截 or 未查询, top to bottom
// (a 部分 row is not retried: its missing part waits for a whole new run).
std::vector<runtime::RowId> RowsToRetry(runtime::Table& table);

}  // namespace mofeng::query
