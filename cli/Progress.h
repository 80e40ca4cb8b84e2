#pragma once

#include <chrono>
#include <iosfwd>
#include <mutex>
#include <string>
#include <string_view>

namespace mofeng::cli {

// "[########------] 120/2000" with a bar of `width` cells; total 0 shows an
// empty bar.
std::string ProgressBarText(int done, int total, int width = 30);

// A status line redrawn in place on a terminal (carriage return, no line
// feed), at most every 100 ms unless forced. Disabled, it writes nothing.
// Any thread; calls are serialised.
class ProgressLine final {
public:
    ProgressLine(std::ostream& out, bool enabled);
    ~ProgressLine();  // Finish()
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void Show(std::string_view text, bool force = false);
    // Ends the line so later output starts on a fresh one; idempotent.
    void Finish();

private:
    std::ostream& m_out;
    const bool m_enabled;
    std::mutex m_mutex;
    std::chrono::steady_clock::time_point m_lastDrawn{};
    std::size_t m_lastLength = 0;
    bool m_drawn = false;
};

}  // namespace mofeng::cli
