#pragma once

#include <string>
#include <vector>

#include "net/EndpointConfig.h"
#include "runtime/Table.h"

namespace mofeng::query {

// One row as a run takes it when it starts: its identity and its keyword
// (column 1, GBK).
struct QueryRowInput {
    runtime::RowId id = 0;
    std::string keyword;
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
    // The six texts of columns 2 to 7 of the row with this id.
    virtual void RowResult(runtime::RowId id, std::vector<std::string> cells) = 0;
    // After each row, its result (if any) already delivered; done counts
    // finished and skipped rows, in the order they finished.
    virtual void RowFinished(int done, int total) {}
};

}  // namespace mofeng::query
