#pragma once

#include <httplib.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace mofeng::sim {

// A task queue for the HTTP server that starts another worker whenever no
// worker is idle, up to a ceiling: a stalled reply holds its worker for as
// long as the client waits, and must not hold up the other connections.
class ElasticTaskQueue final : public httplib::TaskQueue {
public:
    explicit ElasticTaskQueue(std::size_t maxWorkers);
    ~ElasticTaskQueue() override;

    void enqueue(std::function<void()> task) override;
    // Runs what is queued, then joins every worker.
    void shutdown() override;

private:
    void WorkerLoop();

    const std::size_t m_maxWorkers;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_tasks;
    std::vector<std::thread> m_workers;
    std::size_t m_idle = 0;
    bool m_shuttingDown = false;
};

}  // namespace mofeng::sim
