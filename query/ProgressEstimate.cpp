#include "query/ProgressEstimate.h"

#include <cmath>
#include <cstdio>

namespace mofeng::query {

ProgressEstimate::ProgressEstimate(int total, Clock::time_point started)
    : m_total(total), m_started(started), m_last(started) {}

void ProgressEstimate::Update(int done, Clock::time_point now) {
    m_done = done;
    m_last = now;
}

double ProgressEstimate::Rate() const {
    const double seconds = std::chrono::duration<double>(m_last - m_started).count();
    if (m_done <= 0 || seconds <= 0) {
        return 0;
    }
    return m_done / seconds;
}

std::optional<std::chrono::seconds> ProgressEstimate::TimeLeft() const {
    const double rate = Rate();
    if (rate <= 0) {
        return std::nullopt;
    }
    const int left = m_total > m_done ? m_total - m_done : 0;
    return std::chrono::seconds(static_cast<long long>(std::ceil(left / rate)));
}

std::string DurationText(std::chrono::seconds duration) {
    const long long total = duration.count() < 0 ? 0 : duration.count();
    char text[48];
    if (total >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60,
                      total % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", total / 60, total % 60);
    }
    return text;
}

}  // namespace mofeng::query
