#pragma once

#include <string>
#include <vector>

#include "net/EndpointConfig.h"
#include "query/KeptFigures.h"
#include "runtime/Table.h"

namespace mofeng::query {

// One row as a run takes it when it starts: its identity, its keyword
// (column 1, GBK) and the figures it shows (kept if its lookup fails).
struct QueryRowInput {
    runtime::RowId id = 0;
    std::string keyword;
    ShownFigures shown;
};

// Everything a query run works from, taken as values when it starts.
struct QueryRunInput {
    net::EndpointConfig endpoints;
    std::vector<QueryRowInput> rows;  // list order
    int jobs = 1;                     // rows in flight at a time, 1..16
};

// Where a query run reports. Calls come from the run's worker threads but
// never two at a time, so an implementation needs no lock of its own against
// the run; it must not wait for the UI thread.
class QuerySink {
public:
    virtual ~QuerySink() = default;

    // Before the first request; total is the number of rows taken.
    virtual void RunStarted(int total) {}
    // Asked before a row's first request: false skips the row without any
    // request (it has been removed from the list meanwhile).
    virtual bool RowExists(runtime::RowId id) { return true; }
    // Texts of consecutive columns from firstColumn of the row with this id:
    // columns 2 to 7 and the outcome, reason, series and figures-time cells of
    // a finished row, or the outcome and reason alone of a row a stopped run
    // left 未查询, or of a finished 失败 row that a host given up on later
    // made 部分.
    virtual void RowResult(runtime::RowId id, int firstColumn, std::vector<std::string> cells) = 0;
    // After each row, its result (if any) already delivered; done counts
    // finished and skipped rows, in the order they finished.
    virtual void RowFinished(int done, int total) {}
    // After `streak` rows in a row ended 被拦截: true resumes the run (with
    // the fetch settings as they are then), false stops it. No other row is
    // reported meanwhile. May wait for the user. The default stops.
    virtual bool ResumeAfterBlocked(int streak) { return false; }
    // Once per endpoint per run, when the run stops asking it (GBK:
    // "指数接口不可用，本次不再请求"); before the row that showed it finishes.
    virtual void EndpointUnavailable(const std::string& notice) {}
};

}  // namespace mofeng::query
