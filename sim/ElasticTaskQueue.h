#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace mofeng::sim {

// How many tasks were handed to a queue and have not finished. Kept apart
// from the queue, which the library makes and deletes with each listen.
// Thread-safe.
class UnfinishedTasks final {
public:
    void Add();
    void Done();
    // True once none is left; false when that takes longer than limit.
    bool WaitUntilNone(std::chrono::milliseconds limit);

private:
    std::mutex m_mutex;
    std::condition_variable m_none;
    std::size_t m_count = 0;
};

// A task queue for the HTTP server that starts another worker whenever no
// worker is idle, up to a ceiling: a stalled reply holds its worker for as
// long as the client waits, and must not hold up the other connections.
class ElasticTaskQueue final : public httplib::TaskQueue {
public:
    // unfinished (may be null) counts every task from enqueue until it has
    // run; it must outlive the queue.
    explicit ElasticTaskQueue(std::size_t maxWorkers, UnfinishedTasks* unfinished = nullptr);
    ~ElasticTaskQueue() override;

    void enqueue(std::function<void()> task) override;
    // Runs what is queued, then joins every worker.
    void shutdown() override;

private:
    void WorkerLoop();

    const std::size_t m_maxWorkers;
    UnfinishedTasks* const m_unfinished;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_tasks;
    std::vector<std::thread> m_workers;
    std::size_t m_idle = 0;
    bool m_shuttingDown = false;
};

}  // namespace mofeng::sim
