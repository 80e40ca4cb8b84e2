#pragma once

#include <string_view>

#include "net/EndpointConfig.h"
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

// Fills columns 2 to 7 of every row of table: for each row, in order, the
// trend request, then the search request, then one write of the six texts.
// Rows are taken once by id at the start, so rows added later are not visited,
// rows removed meanwhile are skipped without a request, and a reordering of
// the table never moves a result into another keyword's row. When every row
// has been visited the notifier shows kQueryDoneText (information icon). A
// raised cancel token ends the run at once: the fetch in flight returns,
// nothing more is written and no message is shown. Blocks the calling thread.
void IndexQueryRun(const net::EndpointConfig& config, runtime::Table& table,
                   runtime::Notifier& notifier, const runtime::CancelToken& cancel,
                   QueryObserver* observer = nullptr);

}  // namespace mofeng::query
