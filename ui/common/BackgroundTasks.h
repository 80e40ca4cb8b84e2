#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#include "runtime/CancelToken.h"
#include "ui/common/QueuedCall.h"

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

    // Runs work(token) on a new thread as Start does and hands its result to
    // finish on context's thread: finish(result) runs exactly once, after
    // work has returned (finish(nullopt) when work threw), unless context has
    // been destroyed or JoinAll has begun by then: then the result is
    // dropped. The worker never waits for the UI thread. UI thread; context
    // lives on it and outlives the task (the window joins its tasks first).
    template <typename Work, typename Finish>
    void RunThenCallback(QObject* context, Work work, Finish finish);

    // Raises the token of every task not yet joined.
    void CancelAll();

    // Waits for every task, including those started meanwhile, and drops
    // every finish not yet run. Not from a task. Call after CancelAll and
    // after detaching the tables and notifiers the tasks use, so no task is
    // left waiting for the UI thread.
    void JoinAll();

    // Tasks started and not yet finished; a RunThenCallback task finishes
    // when its finish has run or been dropped.
    int RunningCount() const;

private:
    struct Task {
        std::thread thread;
        std::shared_ptr<runtime::CancelToken> token;
        std::shared_ptr<std::atomic<bool>> finished;
        bool countedByFinish = false;  // its PendingFinish counts it
    };

    // A finish on its way to the UI thread; settled once, when it runs or is
    // dropped.
    class PendingFinish {
    public:
        // True for the first caller only.
        bool Settle() { return !m_settled.exchange(true, std::memory_order_acq_rel); }
        bool Settled() const { return m_settled.load(std::memory_order_acquire); }

    private:
        std::atomic<bool> m_settled{false};
    };

    // Settles its finish when the queued call goes without running it.
    class SettleGuard {
    public:
        explicit SettleGuard(std::shared_ptr<PendingFinish> pending)
            : m_pending(std::move(pending)) {}
        SettleGuard(SettleGuard&&) noexcept = default;
        SettleGuard& operator=(SettleGuard&&) = delete;
        SettleGuard(const SettleGuard&) = delete;
        SettleGuard& operator=(const SettleGuard&) = delete;
        ~SettleGuard() {
            if (m_pending) {
                m_pending->Settle();
            }
        }
        PendingFinish& Pending() const { return *m_pending; }

    private:
        std::shared_ptr<PendingFinish> m_pending;
    };

    void StartTask(std::function<void(const runtime::CancelToken&)> fn,
                   std::shared_ptr<PendingFinish> finish);
    void JoinFinishedLocked();

    mutable std::mutex m_mutex;
    std::vector<Task> m_tasks;                               // guarded by m_mutex
    std::vector<std::shared_ptr<PendingFinish>> m_finishes;  // guarded by m_mutex
};

template <typename Work, typename Finish>
void BackgroundTasks::RunThenCallback(QObject* context, Work work, Finish finish) {
    using Result = std::invoke_result_t<Work&, const runtime::CancelToken&>;
    auto pending = std::make_shared<PendingFinish>();
    StartTask(
        [context, pending, work = std::move(work),
         finish = std::move(finish)](const runtime::CancelToken& cancel) mutable {
            std::optional<Result> result;
            try {
                result.emplace(work(cancel));
            } catch (...) {
                // The finish still runs: the window must learn that the run ended.
            }
            QueueOnTargetThread(
                context, [guard = SettleGuard(std::move(pending)), finish = std::move(finish),
                          result = std::move(result)]() mutable {
                    if (guard.Pending().Settle()) {
                        finish(std::move(result));
                    }
                });
        },
        pending);
}

}  // namespace mofeng::ui
