#pragma once

#include <string_view>

#include "net/EndpointConfig.h"
#include "query/QuerySink.h"
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
};

// Fills columns 2 to 7 of every row of input.rows: each row makes the trend
// request, then the search request, then reports its six texts once by id.
// Up to input.jobs rows are in flight at a time; with any number of jobs each
// row's texts are exactly those of one job, and with one job the requests go
// trend 1, search 1, trend 2, ... in list order. Rows the sink says are gone
// are skipped without a request. When every row has been visited the
// notifier shows kQueryDoneText (information icon), the only wait on the
// user. A raised cancel token ends the run at once: every fetch in flight
// returns, nothing more is reported and no message is shown. Blocks the
// calling thread until every worker has ended.
void IndexQueryRun(const QueryRunInput& input, QuerySink& sink, runtime::Notifier& notifier,
                   const runtime::CancelToken& cancel);

// The run over a thread-safe table (the command line, tests): rows are taken
// by id at the start, results are written straight into the table, so rows
// added later are not visited, cleared rows are skipped and a reordering
// never moves a result into another keyword's row.
void IndexQueryRun(const net::EndpointConfig& config, runtime::Table& table,
                   runtime::Notifier& notifier, const runtime::CancelToken& cancel,
                   QueryObserver* observer = nullptr, int jobs = 1);

}  // namespace mofeng::query
