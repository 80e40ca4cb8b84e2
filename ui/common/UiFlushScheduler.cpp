#include "ui/common/UiFlushScheduler.h"

#include "ui/common/QueuedCall.h"

namespace mofeng::ui {

UiFlushScheduler::UiFlushScheduler(QObject* context, std::function<void()> flush)
    : m_context(context), m_state(std::make_shared<State>()) {
    m_state->flush = std::move(flush);
}

void UiFlushScheduler::Request() {
    if (m_state->queued.exchange(true, std::memory_order_acq_rel)) {
        return;
    }
    // The state, not this object, goes into the call: a queued call may
    // outlive the scheduler when its owner goes first.
    std::weak_ptr<State> weak = m_state;
    QueueOnTargetThread(m_context, [weak] {
        if (const std::shared_ptr<State> state = weak.lock()) {
            state->queued.store(false, std::memory_order_release);
            state->flush();
        }
    });
}

}  // namespace mofeng::ui
