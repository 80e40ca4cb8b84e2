#include "ui/common/UiThreadBridge.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <condition_variable>
#include <mutex>

#include "ui/common/QueuedCall.h"

namespace mofeng::ui {

struct UiThreadBridge::State {
    std::mutex mutex;
    std::condition_variable released;
    QObject* target = nullptr;  // guarded by mutex; null once deleted
    bool detached = false;      // guarded by mutex
    QThread* thread = nullptr;  // fixed at construction
};

// What the waiting caller learns about its call.
struct UiThreadBridge::Outcome {
    bool finished = false;   // guarded by State::mutex
    bool succeeded = false;  // guarded by State::mutex
};

// Held by the queued work and the Completion copies made from it. Its
// destruction releases the caller whether or not the work ran: this is what
// frees a worker whose call was still queued when its target was deleted.
struct UiThreadBridge::Guard {
    std::shared_ptr<State> state;
    std::shared_ptr<Outcome> outcome;

    Guard(std::shared_ptr<State> s, std::shared_ptr<Outcome> o)
        : state(std::move(s)), outcome(std::move(o)) {}
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
    ~Guard() { Release(false); }

    void Release(bool success) {
        {
            std::lock_guard lock(state->mutex);
            if (outcome->finished) {
                return;
            }
            outcome->finished = true;
            outcome->succeeded = success;
        }
        state->released.notify_all();
    }
};

void UiThreadBridge::Completion::Finish() const {
    m_guard->Release(true);
}

UiThreadBridge::UiThreadBridge(QObject* target) : m_state(std::make_shared<State>()) {
    m_state->target = target;
    m_state->thread = target ? target->thread() : nullptr;
    if (target) {
        // The lambda lives as long as the target, so it may outlive the bridge.
        QObject::connect(target, &QObject::destroyed, [state = m_state] {
            {
                std::lock_guard lock(state->mutex);
                state->target = nullptr;
                state->detached = true;
            }
            state->released.notify_all();
        });
    }
}

UiThreadBridge::~UiThreadBridge() {
    Detach();
}

bool UiThreadBridge::OnTargetThread() const {
    return QThread::currentThread() == m_state->thread;
}

QObject* UiThreadBridge::Target() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->detached ? nullptr : m_state->target;
}

bool UiThreadBridge::PostAndWait(Work work) {
    auto outcome = std::make_shared<Outcome>();
    auto guard = std::make_shared<Guard>(m_state, outcome);
    {
        std::lock_guard lock(m_state->mutex);
        if (m_state->detached || !m_state->target) {
            return false;
        }
        // Posted under the lock: the target cannot finish being deleted
        // meanwhile, because its destroyed handler takes the same lock.
        auto shared = std::make_shared<Work>(std::move(work));
        QueueOnTargetThread(m_state->target, [state = m_state, guard, shared] {
            QObject* target = nullptr;
            {
                std::lock_guard lock(state->mutex);
                if (state->detached || !state->target) {
                    return;
                }
                target = state->target;
            }
            (*shared)(*target, Completion(guard));
        });
    }
    guard.reset();  // outside the lock: dropping the last reference takes it
    std::unique_lock lock(m_state->mutex);
    m_state->released.wait(lock, [&] { return outcome->finished || m_state->detached; });
    return outcome->succeeded;
}

void UiThreadBridge::Detach() {
    {
        std::lock_guard lock(m_state->mutex);
        m_state->detached = true;
    }
    m_state->released.notify_all();
}

}  // namespace mofeng::ui
