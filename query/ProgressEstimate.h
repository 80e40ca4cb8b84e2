#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace mofeng::query {

// Rate and time left of a run over a known number of items, from the average
// rate since the run started. Not thread-safe: one owner updates and reads.
class ProgressEstimate final {
public:
    using Clock = std::chrono::steady_clock;

    explicit ProgressEstimate(int total, Clock::time_point started = Clock::now());

    void Update(int done, Clock::time_point now = Clock::now());

    int Done() const { return m_done; }
    int Total() const { return m_total; }
    // Items per second; 0 until something is done.
    double Rate() const;
    // nullopt until the first item is done.
    std::optional<std::chrono::seconds> TimeLeft() const;

private:
    int m_total;
    int m_done = 0;
    Clock::time_point m_started;
    Clock::time_point m_last;
};

// "m:ss", or "h:mm:ss" from one hour on.
std::string DurationText(std::chrono::seconds duration);

}  // namespace mofeng::query
