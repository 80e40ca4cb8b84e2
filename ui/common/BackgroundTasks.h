#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "runtime/CancelToken.h"

namespace mofeng::ui {

// The worker threads one window starts (import, query run, mining stages).
// Owned and driven by the window on the UI thread; the tasks themselves may
// call Start to hand over to a next stage.
class BackgroundTasks final {
public:
    BackgroundTasks() = default;
    ~BackgroundTasks();  // CancelAll, then JoinAll
    BackgroundTasks(const BackgroundTasks&) = delete;
    BackgroundTasks& operator=(const BackgroundTasks&) = delete;

    // Runs fn on a new thread and returns at once. fn's token is raised by
    // CancelAll; a task started by a task whose token is already raised
    // starts with its token raised, so a cancelled run cannot hand over to a
    // fresh stage. An exception escaping fn ends that task only.
    void Start(std::function<void(const runtime::CancelToken&)> fn);

    // Raises the token of every task not yet joined.
    void CancelAll();

    // Waits for every task, including those started meanwhile. Not from a
    // task. Call after CancelAll and after detaching the tables and notifiers
    // the tasks use, so no task is left waiting for the UI thread.
    void JoinAll();

    // Tasks started and not yet finished.
    int RunningCount() const;

private:
    struct Task {
        std::thread thread;
        std::shared_ptr<runtime::CancelToken> token;
        std::shared_ptr<std::atomic<bool>> finished;
    };

    void JoinFinishedLocked();

    mutable std::mutex m_mutex;
    std::vector<Task> m_tasks;  // guarded by m_mutex
};

}  // namespace mofeng::ui
