#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

namespace mofeng::ui {

// Hands batches from workers to the UI thread without waiting: the first
// Request after a flush queues one call of flush on the context's thread;
// requests until that call runs add nothing, so whatever piled up meanwhile
// goes in one batch. The flush clears the request before it takes the batch,
// so nothing added later is left behind. The context must outlive every
// caller of Request (windows join their workers first); a flush still queued
// when the scheduler goes does not run.
class UiFlushScheduler final {
public:
    // UI thread; context lives on it.
    UiFlushScheduler(QObject* context, std::function<void()> flush);
    UiFlushScheduler(const UiFlushScheduler&) = delete;
    UiFlushScheduler& operator=(const UiFlushScheduler&) = delete;

    // Any thread; never waits.
    void Request();

private:
    struct State {
        std::atomic<bool> queued{false};
        std::function<void()> flush;  // UI thread only
    };

    QObject* m_context;
    std::shared_ptr<State> m_state;
};

}  // namespace mofeng::ui
