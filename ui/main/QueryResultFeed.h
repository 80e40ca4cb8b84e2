#pragma once

#include <QMetaObject>
#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "query/IndexQueryRun.h"
#include "query/QuerySink.h"
#include "ui/common/UiFlushScheduler.h"

namespace mofeng::ui {

class KeywordListModel;

// The GUI's sink of one query run: results are queued by row id and written
// into the list model on the UI thread in batches, so a worker never waits
// for the UI thread. A clear of the list marks every row of the run gone
// (their later results are dropped and no request is made for them); a
// removed row is marked gone the same way. The outcomes are counted as they
// arrive. Created on the UI thread; the run's workers must have ended
// before it goes.
class QueryResultFeed final : public query::QuerySink {
public:
    // After a blocked streak the run asks resumeAfterBlocked (any thread; it
    // may wait for the seller's answer); without it the run stops.
    using ResumeQuestion = std::function<bool(int streak)>;
    explicit QueryResultFeed(KeywordListModel* model, ResumeQuestion resumeAfterBlocked = {});
    ~QueryResultFeed() override;
    QueryResultFeed(const QueryResultFeed&) = delete;
    QueryResultFeed& operator=(const QueryResultFeed&) = delete;

    // Any thread (the run's workers).
    void RunStarted(int total) override;
    bool RowExists(runtime::RowId id) override;
    void RowResult(runtime::RowId id, int firstColumn, std::vector<std::string> cells) override;
    void RowFinished(int done, int total) override;
    bool ResumeAfterBlocked(int streak) override;
    void EndpointUnavailable(const std::string& notice) override;
    // The endpoints the run stopped asking, one line each; empty when none.
    QString UnavailableText() const;

    int RowsDone() const { return m_done.load(std::memory_order_acquire); }
    int RowsTotal() const { return m_total.load(std::memory_order_acquire); }
    // Every row has finished (or the run had none).
    bool RowsComplete() const { return m_complete.load(std::memory_order_acquire); }
    // The outcomes of the rows whose results have arrived, per outcome.
    query::QuerySummary Counts() const;

    // UI thread: writes whatever has arrived (also done by the queued flush).
    void Flush();

private:
    KeywordListModel* m_model;  // UI thread only
    const ResumeQuestion m_resumeAfterBlocked;
    QMetaObject::Connection m_clearWatch;
    QMetaObject::Connection m_removeWatch;
    std::atomic<bool> m_cleared{false};
    std::atomic<int> m_done{0};
    std::atomic<int> m_total{0};
    std::atomic<bool> m_complete{false};
    mutable std::mutex m_mutex;
    query::QuerySummary m_counts;  // guarded by m_mutex
    // The outcome each row was counted under: a row reported again (失败
    // made 部分) moves between counts.
    std::unordered_map<runtime::RowId, query::RowOutcome> m_counted;  // guarded by m_mutex
    struct Cells {
        runtime::RowId id;
        int firstColumn;
        std::vector<std::string> texts;
    };
    std::vector<Cells> m_pending;                  // guarded by m_mutex
    std::unordered_set<runtime::RowId> m_removed;  // guarded by m_mutex
    QString m_unavailable;                         // guarded by m_mutex
    UiFlushScheduler m_scheduler;
};

}  // namespace mofeng::ui
