#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "runtime/CancelToken.h"
#include "runtime/Table.h"
#include "ui/common/UiFlushScheduler.h"

namespace mofeng::ui {

class KeywordListModel;

// Carries one import's rows from its worker into the list without the
// worker ever waiting per batch: batches pile up here and the UI thread
// appends whatever has arrived in one insertion. When the worker has
// finished it waits once, until the UI thread has taken the last batch (so a
// finished import task means the rows are in the list), or until it is
// cancelled (the window closing). Created on the UI thread; its last
// reference must be let go there (the import hands it back with its result).
class ImportFeed final {
public:
    // onDelivered runs on the UI thread after the last batch, with the number
    // of rows this import added.
    ImportFeed(KeywordListModel* model, std::function<void(int rowsAdded)> onDelivered);
    ImportFeed(const ImportFeed&) = delete;
    ImportFeed& operator=(const ImportFeed&) = delete;

    // Worker: never waits for the UI thread. True: the rows will be appended.
    bool Append(std::vector<runtime::Row> rows);
    // Worker: no more rows; then waits as described above. False when the
    // wait ended by cancel.
    bool FinishAndWait(const runtime::CancelToken& cancel);

    // UI thread: appends what has arrived (also done by the queued flush).
    void Flush();
    // Run on the UI thread over each batch before it is appended: takes out
    // the rows it merged into rows already listed (app::MergeMarketRows).
    void SetMerge(std::function<void(std::vector<runtime::Row>& rows)> merge) {
        m_merge = std::move(merge);
    }

private:
    KeywordListModel* m_model;  // UI thread only
    std::function<void(int)> m_onDelivered;
    std::function<void(std::vector<runtime::Row>&)> m_merge;
    int m_rowsAdded = 0;  // UI thread only

    std::mutex m_mutex;
    std::condition_variable m_deliveredSignal;
    std::vector<runtime::Row> m_pending;  // guarded by m_mutex
    bool m_finished = false;              // guarded by m_mutex
    bool m_delivered = false;             // guarded by m_mutex
    UiFlushScheduler m_scheduler;
};

}  // namespace mofeng::ui
