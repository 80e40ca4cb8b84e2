#pragma once

#include <atomic>

namespace mofeng::runtime {

// A flag one thread raises and others poll: a run that is stopped, or a window
// that closes, raises it; fetches and list calls in flight give up soon after.
class CancelToken {
public:
    void Cancel() noexcept { m_cancelled.store(true, std::memory_order_release); }
    bool IsCancelled() const noexcept { return m_cancelled.load(std::memory_order_acquire); }

private:
    std::atomic<bool> m_cancelled{false};
};

}  // namespace mofeng::runtime
