#include "sim/ElasticTaskQueue.h"

namespace mofeng::sim {

void UnfinishedTasks::Add() {
    std::lock_guard lock(m_mutex);
    ++m_count;
}

void UnfinishedTasks::Done() {
    {
        std::lock_guard lock(m_mutex);
        --m_count;
    }
    m_none.notify_all();
}

bool UnfinishedTasks::WaitUntilNone(std::chrono::milliseconds limit) {
    std::unique_lock lock(m_mutex);
    return m_none.wait_for(lock, limit, [this] { return m_count == 0; });
}

ElasticTaskQueue::ElasticTaskQueue(std::size_t maxWorkers, UnfinishedTasks* unfinished)
    : m_maxWorkers(maxWorkers == 0 ? 1 : maxWorkers), m_unfinished(unfinished) {}

ElasticTaskQueue::~ElasticTaskQueue() {
    shutdown();
}

void ElasticTaskQueue::enqueue(std::function<void()> task) {
    if (m_unfinished != nullptr) {
        m_unfinished->Add();
    }
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
        if (m_idle < m_tasks.size() && m_workers.size() < m_maxWorkers) {
            m_workers.emplace_back([this] { WorkerLoop(); });
        }
    }
    m_wake.notify_one();
}

void ElasticTaskQueue::shutdown() {
    std::vector<std::thread> workers;
    {
        std::lock_guard lock(m_mutex);
        m_shuttingDown = true;
        workers.swap(m_workers);
    }
    m_wake.notify_all();
    for (std::thread& worker : workers) {
        worker.join();
    }
}

void ElasticTaskQueue::WorkerLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        ++m_idle;
        m_wake.wait(lock, [this] { return !m_tasks.empty() || m_shuttingDown; });
        --m_idle;
        if (m_tasks.empty()) {
            return;  // shutting down and nothing left
        }
        std::function<void()> task = std::move(m_tasks.front());
        m_tasks.pop_front();
        lock.unlock();
        task();
        if (m_unfinished != nullptr) {
            m_unfinished->Done();
        }
        lock.lock();
    }
}

}  // namespace mofeng::sim
