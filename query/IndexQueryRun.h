#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "net/EndpointConfig.h"
#include "query/QueryRow.h"
#include "query/RowOutcome.h"
#include "runtime/CancelToken.h"
#include "runtime/Notifier.h"
#include "runtime/Table.h"

namespace mofeng::query {

// Columns of the keyword list that a query run reads and writes.
inline constexpr int kKeywordColumn = 1;
inline constexpr int kFirstMetricColumn = 2;  // listing count, then the five metric texts

// "数据查询完毕" (GBK): shown when a run has visited every row.
inline constexpr std::string_view kQueryDoneText =
    "\xCA\xFD\xBE\xDD\xB2\xE9\xD1\xAF\xCD\xEA\xB1\xCF";

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
};

// What a run did, one count per RowOutcome.
struct QuerySummary {
    std::array<int, 5> counts{};
    bool stoppedForBlocked = false;
    bool cancelled = false;

    int Count(RowOutcome outcome) const { return counts[static_cast<std::size_t>(outcome)]; }
    bool AnyTrouble() const {
        return Count(RowOutcome::Failed) > 0 || Count(RowOutcome::Blocked) > 0;
    }
};

// Fills columns 2 to 7 of every row of table (or of the rows in onlyRows):
// for each row, in order, QueryRow, then one write of the six texts and, when
// the table has them, the outcome, reason and series cells (RowOutcome.h).
// Rows are taken once by id at the start, so rows added later are not visited,
// rows removed meanwhile are skipped without a request, and a reordering of
// the table never moves a result into another keyword's row. When every row
// has been visited the notifier shows kQueryDoneText (information icon). A
// raised cancel token ends the run at once: the fetch in flight returns,
// nothing more is written and no message is shown. After the configured
// number of rows in a row ended 被拦截 the observer decides whether the run
// goes on; a stopped run marks its remaining rows 未查询 and shows no message.
// Blocks the calling thread.
QuerySummary IndexQueryRun(const net::EndpointConfig& config, runtime::Table& table,
                           runtime::Notifier& notifier, const runtime::CancelToken& cancel,
                           QueryObserver* observer = nullptr,
                           const std::vector<runtime::RowId>* onlyRows = nullptr);

// The rows a retry run visits: those marked 失败, 被拦截 or 未查询, top to bottom.
std::vector<runtime::RowId> RowsToRetry(runtime::Table& table);

}  // namespace mofeng::query
