#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "net/FetchResult.h"
#include "runtime/CancelToken.h"

namespace mofeng::net {

// Spaces request starts per host, for every thread of the process. Each host
// waits at least its interval between starts: the configured one, raised
// after a 429 or a blocked reply (at least doubled, at most kMaxInterval) and
// brought back toward the configured one by each plain reply. Errors that
// come back fast never speed it up. Thread-safe.
class HostPacer final {
public:
    using Milliseconds = std::chrono::milliseconds;
    static constexpr Milliseconds kMaxInterval{10000};
    static constexpr Milliseconds kFirstSlowDown{500};

    // Blocks until host may start a request; false when cancelled meanwhile.
    bool WaitTurn(std::string_view host, Milliseconds configured,
                  const runtime::CancelToken* cancel);
    void Record(std::string_view host, Milliseconds configured, FetchOutcome outcome, long status);
    Milliseconds Interval(std::string_view host) const;
    void Reset();

private:
    struct HostState {
        std::chrono::steady_clock::time_point lastStart{};
        Milliseconds interval{0};
        bool started = false;
    };
    mutable std::mutex m_mutex;
    std::map<std::string, HostState, std::less<>> m_hosts;
};

HostPacer& ProcessPacer();

// Sleeps for duration in short steps; false as soon as cancel is raised.
bool SleepUnlessCancelled(std::chrono::milliseconds duration, const runtime::CancelToken* cancel);

}  // namespace mofeng::net
