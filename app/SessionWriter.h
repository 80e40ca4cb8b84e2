#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "app/SessionStore.h"

namespace mofeng::app {

// Writes session batches on a thread of its own, so that whoever posts them
// (the UI thread) never waits on the database. Batches are applied in the
// order posted; the ones waiting when the thread comes round are applied
// together in one transaction.
class SessionWriter final {
public:
    explicit SessionWriter(std::unique_ptr<SessionStore> store);
    ~SessionWriter();  // applies what is still waiting, then ends the thread
    SessionWriter(const SessionWriter&) = delete;
    SessionWriter& operator=(const SessionWriter&) = delete;

    // Any thread; returns at once.
    void Post(SessionBatch batch);
    // Blocks until everything posted before has been applied (tests, shutdown).
    void Flush();
    // Batches that failed to apply so far.
    std::size_t Failures() const;

private:
    void Run();

    std::unique_ptr<SessionStore> m_store;  // the writer thread's only
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<SessionBatch> m_pending;
    bool m_busy = false;
    bool m_stopping = false;
    std::size_t m_failures = 0;
    std::thread m_thread;  // last: starts once the rest exists
};

}  // namespace mofeng::app
