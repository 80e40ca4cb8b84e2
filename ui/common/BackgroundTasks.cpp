#include "ui/common/BackgroundTasks.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace mofeng::ui {
namespace {

// Token of the task running on this thread, if it is one.
thread_local const runtime::CancelToken* t_currentToken = nullptr;

}  // namespace

BackgroundTasks::~BackgroundTasks() {
    CancelAll();
    JoinAll();
}

void BackgroundTasks::Start(std::function<void(const runtime::CancelToken&)> fn) {
    StartTask(std::move(fn), nullptr);
}

void BackgroundTasks::StartTask(std::function<void(const runtime::CancelToken&)> fn,
                                std::shared_ptr<PendingFinish> finish) {
    auto token = std::make_shared<runtime::CancelToken>();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::lock_guard lock(m_mutex);
    // Checked under the lock that CancelAll takes, so a hand-over racing
    // with CancelAll is either cancelled here or there.
    if (t_currentToken && t_currentToken->IsCancelled()) {
        token->Cancel();
    }
    JoinFinishedLocked();
    std::thread thread([fn = std::move(fn), token, finished] {
        t_currentToken = token.get();
        try {
            fn(*token);
        } catch (...) {
            // A failed run ends its own thread; the window goes on.
        }
        t_currentToken = nullptr;
        finished->store(true, std::memory_order_release);
    });
    m_tasks.push_back(Task{std::move(thread), std::move(token), std::move(finished)});
    if (finish) {
        // The task counts until its finish has run, after its thread.
        m_tasks.back().countedByFinish = true;
        std::erase_if(m_finishes, [](const auto& pending) { return pending->Settled(); });
        m_finishes.push_back(std::move(finish));
    }
}

void BackgroundTasks::CancelAll() {
    std::lock_guard lock(m_mutex);
    for (Task& task : m_tasks) {
        task.token->Cancel();
    }
}

void BackgroundTasks::JoinAll() {
    for (;;) {
        std::vector<Task> tasks;
        {
            std::lock_guard lock(m_mutex);
            tasks.swap(m_tasks);
        }
        if (tasks.empty()) {
            break;
        }
        for (Task& task : tasks) {
            task.thread.join();
        }
    }
    std::lock_guard lock(m_mutex);
    for (const std::shared_ptr<PendingFinish>& pending : std::exchange(m_finishes, {})) {
        pending->Settle();  // dropped: the window is going
    }
}

int BackgroundTasks::RunningCount() const {
    std::lock_guard lock(m_mutex);
    const auto running = std::count_if(m_tasks.begin(), m_tasks.end(), [](const Task& task) {
        return !task.countedByFinish && !task.finished->load(std::memory_order_acquire);
    });
    const auto finishing = std::count_if(m_finishes.begin(), m_finishes.end(),
                                         [](const auto& pending) { return !pending->Settled(); });
    return static_cast<int>(running + finishing);
}

// Finished threads are joined as new ones start, so a long session does not
// pile up ended threads.
void BackgroundTasks::JoinFinishedLocked() {
    auto finished = std::stable_partition(m_tasks.begin(), m_tasks.end(), [](const Task& task) {
        return !task.finished->load(std::memory_order_acquire);
    });
    for (auto it = finished; it != m_tasks.end(); ++it) {
        it->thread.join();  // already past fn: returns promptly
    }
    m_tasks.erase(finished, m_tasks.end());
}

}  // namespace mofeng::ui
