#pragma once

#include <functional>
#include <memory>

class QObject;
class QThread;

namespace mofeng::ui {

// Hands work from any thread to the thread of one QObject (the target) and
// lets the caller wait for it, without ever touching the target from the
// calling thread. The wait ends when the work reports completion, when the
// work is dropped unrun (target deleted with the call still queued), or when
// the bridge is detached; so a closing window never deadlocks with a worker.
class UiThreadBridge final {
public:
    struct Outcome;
    struct Guard;
    struct State;

    // Handle the work holds while it is under way. Finish() reports success;
    // when the last copy is dropped without Finish(), the caller is released
    // with "not done".
    class Completion {
    public:
        void Finish() const;

    private:
        friend class UiThreadBridge;
        explicit Completion(std::shared_ptr<Guard> guard) : m_guard(std::move(guard)) {}
        std::shared_ptr<Guard> m_guard;
    };

    using Work = std::function<void(QObject& target, const Completion& completion)>;

    // On the target's thread. A deleted target detaches the bridge.
    explicit UiThreadBridge(QObject* target);
    ~UiThreadBridge();  // detaches
    UiThreadBridge(const UiThreadBridge&) = delete;
    UiThreadBridge& operator=(const UiThreadBridge&) = delete;

    bool OnTargetThread() const;
    // Target's thread only: the target, or null once it is deleted or the
    // bridge is detached.
    QObject* Target() const;

    // Not on the target's thread: queues work for the target's thread and
    // waits. True only when the work called Finish() before the caller was
    // released. False at once when detached. Work that is still queued when
    // the bridge is detached never runs.
    bool PostAndWait(Work work);

    // Releases every waiting caller; later calls fail at once. Any thread.
    void Detach();

private:
    std::shared_ptr<State> m_state;
};

}  // namespace mofeng::ui
