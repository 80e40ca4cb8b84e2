#include "net/HostPacer.h"

#include <algorithm>
#include <thread>

namespace mofeng::net {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kSleepStep{20};

}  // namespace

bool SleepUnlessCancelled(std::chrono::milliseconds duration, const runtime::CancelToken* cancel) {
    const auto until = Clock::now() + duration;
    for (;;) {
        if (cancel != nullptr && cancel->IsCancelled()) {
            return false;
        }
        const auto now = Clock::now();
        if (now >= until) {
            return true;
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(until - now, kSleepStep));
    }
}

bool HostPacer::WaitTurn(std::string_view host, Milliseconds configured,
                         const runtime::CancelToken* cancel) {
    Clock::time_point start;
    {
        std::lock_guard lock(m_mutex);
        auto found = m_hosts.find(host);
        if (found == m_hosts.end()) {
            found = m_hosts.emplace(std::string(host), HostState{}).first;
        }
        HostState& state = found->second;
        state.interval = std::max(state.interval, configured);
        const auto now = Clock::now();
        start = state.started ? std::max(now, state.lastStart + state.interval) : now;
        state.lastStart = start;  // reserved now, so the next caller queues behind
        state.started = true;
    }
    const auto wait = std::chrono::ceil<Milliseconds>(start - Clock::now());
    return SleepUnlessCancelled(std::max(wait, Milliseconds(0)), cancel);
}

void HostPacer::Record(std::string_view host, Milliseconds configured, FetchOutcome outcome,
                       long status) {
    std::lock_guard lock(m_mutex);
    const auto found = m_hosts.find(host);
    if (found == m_hosts.end()) {
        return;
    }
    Milliseconds& interval = found->second.interval;
    if (status == 429 || outcome == FetchOutcome::Blocked) {
        interval = std::min(kMaxInterval, std::max(interval * 2, kFirstSlowDown));
    } else if (outcome == FetchOutcome::Reply && interval > configured) {
        interval = std::max(configured, interval * 3 / 4);
        if (interval < configured + Milliseconds(20)) {
            interval = configured;
        }
    }
}

HostPacer::Milliseconds HostPacer::Interval(std::string_view host) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_hosts.find(host);
    return found == m_hosts.end() ? Milliseconds(0) : found->second.interval;
}

void HostPacer::Reset() {
    std::lock_guard lock(m_mutex);
    m_hosts.clear();
}

HostPacer& ProcessPacer() {
    static HostPacer pacer;
    return pacer;
}

}  // namespace mofeng::net
