#include "ui/main/ImportFeed.h"

#include <chrono>
#include <iterator>
#include <utility>

#include "ui/common/KeywordListModel.h"

namespace mofeng::ui {
namespace {

// How often a finished worker looks at its cancel token while it waits.
constexpr std::chrono::milliseconds kCancelPoll{10};

}  // namespace

ImportFeed::ImportFeed(KeywordListModel* model, std::function<void(int rowsAdded)> onDelivered)
    : m_model(model),
      m_onDelivered(std::move(onDelivered)),
      m_scheduler(model, [this] { Flush(); }) {}

bool ImportFeed::Append(std::vector<runtime::Row> rows) {
    if (rows.empty()) {
        return false;
    }
    {
        std::lock_guard lock(m_mutex);
        if (m_pending.empty()) {
            m_pending = std::move(rows);
        } else {
            m_pending.insert(m_pending.end(), std::make_move_iterator(rows.begin()),
                             std::make_move_iterator(rows.end()));
        }
    }
    m_scheduler.Request();
    return true;
}

bool ImportFeed::FinishAndWait(const runtime::CancelToken& cancel) {
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_scheduler.Request();
    std::unique_lock lock(m_mutex);
    while (!m_delivered) {
        if (cancel.IsCancelled()) {
            return false;
        }
        m_deliveredSignal.wait_for(lock, kCancelPoll);
    }
    return true;
}

void ImportFeed::Flush() {
    std::vector<runtime::Row> batch;
    bool last = false;
    {
        std::lock_guard lock(m_mutex);
        batch.swap(m_pending);
        last = m_finished && !m_delivered;
    }
    const auto count = static_cast<int>(batch.size());
    if (m_merge && !batch.empty()) {
        m_merge(batch);
        if (batch.empty()) {
            m_rowsAdded += count;  // every row went onto rows already listed
        }
    }
    if (m_model->AppendRows(std::move(batch)) >= 0) {
        m_rowsAdded += count;
    }
    if (last) {
        m_onDelivered(m_rowsAdded);
        {
            std::lock_guard lock(m_mutex);
            m_delivered = true;
        }
        m_deliveredSignal.notify_all();
    }
}

}  // namespace mofeng::ui
