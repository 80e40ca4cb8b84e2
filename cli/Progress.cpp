#include "cli/Progress.h"

#include <algorithm>
#include <ostream>

namespace mofeng::cli {
namespace {

constexpr std::chrono::milliseconds kRedrawInterval{100};

}  // namespace

std::string ProgressBarText(int done, int total, int width) {
    const int clamped = std::clamp(done, 0, std::max(total, 0));
    const int filled =
        total > 0 ? static_cast<int>(static_cast<long long>(clamped) * width / total) : 0;
    std::string text = "[";
    text.append(static_cast<std::size_t>(filled), '#');
    text.append(static_cast<std::size_t>(width - filled), '-');
    text += "] " + std::to_string(done) + "/" + std::to_string(total);
    return text;
}

ProgressLine::ProgressLine(std::ostream& out, bool enabled) : m_out(out), m_enabled(enabled) {}

ProgressLine::~ProgressLine() {
    Finish();
}

void ProgressLine::Show(std::string_view text, bool force) {
    if (!m_enabled) {
        return;
    }
    std::lock_guard lock(m_mutex);
    const auto now = std::chrono::steady_clock::now();
    if (!force && m_drawn && now - m_lastDrawn < kRedrawInterval) {
        return;
    }
    m_out << '\r' << text;
    // Blank out what a longer earlier line left behind.
    if (text.size() < m_lastLength) {
        m_out << std::string(m_lastLength - text.size(), ' ');
    }
    m_out.flush();
    m_lastLength = text.size();
    m_lastDrawn = now;
    m_drawn = true;
}

void ProgressLine::Finish() {
    if (!m_enabled) {
        return;
    }
    std::lock_guard lock(m_mutex);
    if (!m_drawn) {
        return;
    }
    m_out << '\n';
    m_out.flush();
    m_drawn = false;
    m_lastLength = 0;
}

}  // namespace mofeng::cli
