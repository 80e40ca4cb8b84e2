#pragma once

#include <QMetaObject>
#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "query/QuerySink.h"
#include "ui/common/UiFlushScheduler.h"

namespace mofeng::ui {

class KeywordListModel;

// The GUI's sink of one query run: results are queued by row id and written
// into the list model on the UI thread in batches, so a worker never waits
// for the UI thread. A clear of the list marks every row of the run gone
// (their later results are dropped and no request is made for them); a
// removed row is marked gone the same way.
// Created on the UI thread; the run's workers must have ended before it goes.
class QueryResultFeed final : public query::QuerySink {
public:
    explicit QueryResultFeed(KeywordListModel* model);
    ~QueryResultFeed() override;
    QueryResultFeed(const QueryResultFeed&) = delete;
    QueryResultFeed& operator=(const QueryResultFeed&) = delete;

    // Any thread (the run's workers).
    void RunStarted(int total) override;
    bool RowExists(runtime::RowId id) override;
    void RowResult(runtime::RowId id, int firstColumn, std::vector<std::string> cells) override;
    void RowFinished(int done, int total) override;
    // Asks resumeAfterBlocked (set before the run starts; it may wait for the
    // user's answer to a modal question); without it the run stops.
    bool ResumeAfterBlocked(int streak) override;
    std::function<bool(int streak)> resumeAfterBlocked;
    void EndpointUnavailable(const std::string& notice) override;
    // The endpoints the run stopped asking, one line each; empty when none.
    QString UnavailableText() const;

    int RowsDone() const { return m_done.load(std::memory_order_acquire); }
    int RowsTotal() const { return m_total.load(std::memory_order_acquire); }
    // Every row has finished (or the run had none).
    bool RowsComplete() const { return m_complete.load(std::memory_order_acquire); }

    // UI thread: writes whatever has arrived (also done by the queued flush).
    void Flush();

private:
    KeywordListModel* m_model;  // UI thread only
    QMetaObject::Connection m_clearWatch;
    QMetaObject::Connection m_removeWatch;
    std::atomic<bool> m_cleared{false};
    std::atomic<int> m_done{0};
    std::atomic<int> m_total{0};
    std::atomic<bool> m_complete{false};
    mutable std::mutex m_mutex;
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
