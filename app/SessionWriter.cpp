#include "app/SessionWriter.h"

#include <utility>

namespace mofeng::app {

SessionWriter::SessionWriter(std::unique_ptr<SessionStore> store)
    : m_store(std::move(store)), m_thread([this] { Run(); }) {}

SessionWriter::~SessionWriter() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void SessionWriter::Post(SessionBatch batch) {
    if (batch.Empty()) {
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_pending.push_back(std::move(batch));
    }
    m_wake.notify_one();
}

void SessionWriter::Flush() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_pending.empty() && !m_busy; });
}

std::size_t SessionWriter::Failures() const {
    std::lock_guard lock(m_mutex);
    return m_failures;
}

void SessionWriter::Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_pending.empty(); });
        if (m_pending.empty()) {
            return;  // stopping, nothing left
        }
        // Everything waiting goes into one transaction, in order.
        SessionBatch merged;
        while (!m_pending.empty()) {
            SessionBatch& next = m_pending.front();
            if (!next.clearedLists.empty()) {
                // A clear drops the rows written before it in this merge.
                for (int list : next.clearedLists) {
                    std::erase_if(merged.rows, [list](const SessionBatch::RowWrite& row) {
                        return row.list == list;
                    });
                    merged.clearedLists.push_back(list);
                }
            }
            for (auto& row : next.rows) {
                merged.rows.push_back(std::move(row));
            }
            for (auto& observation : next.observations) {
                merged.observations.push_back(std::move(observation));
            }
            m_pending.pop_front();
        }
        m_busy = true;
        lock.unlock();
        const bool ok = m_store == nullptr || m_store->Apply(merged);
        lock.lock();
        m_busy = false;
        m_failures += ok ? 0 : 1;
        if (m_pending.empty()) {
            m_idle.notify_all();
        }
    }
}

}  // namespace mofeng::app
