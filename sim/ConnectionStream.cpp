#include "sim/ConnectionStream.h"

#include <algorithm>
#include <cstring>

#include "sim/platform/SocketCalls.h"

namespace mofeng::sim {
namespace {

constexpr std::chrono::milliseconds kReadTimeout{5000};
constexpr std::chrono::milliseconds kWriteTimeout{5000};
constexpr std::chrono::milliseconds kSlice{20};

}  // namespace

ConnectionStream::ConnectionStream(socket_t fd, const std::atomic<bool>& stopping)
    : m_socket(fd), m_stopping(stopping) {}

bool ConnectionStream::WaitFor(bool forWrite, std::chrono::milliseconds limit) const {
    for (auto waited = std::chrono::milliseconds{0}; waited < limit; waited += kSlice) {
        if (m_stopping.load()) {
            return false;
        }
        const platform::Readiness readiness =
            platform::WaitReady(m_socket, forWrite, static_cast<int>(kSlice.count()));
        if (readiness != platform::Readiness::TimedOut) {
            return readiness == platform::Readiness::Ready;
        }
    }
    return false;
}

bool ConnectionStream::is_readable() const {
    return m_bufferStart < m_bufferEnd || WaitFor(false, kReadTimeout);
}

bool ConnectionStream::is_writable() const {
    return !m_stopping.load() && platform::WritableAndOpen(m_socket);
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
    if (m_bufferStart == m_bufferEnd) {
        if (!WaitFor(false, kReadTimeout)) {
            return -1;
        }
        const long long n = platform::ReceiveSome(m_socket, m_buffer.data(), m_buffer.size());
        if (n <= 0) {
            return static_cast<ssize_t>(n);
        }
        m_bufferStart = 0;
        m_bufferEnd = static_cast<size_t>(n);
    }
    const size_t count = std::min(size, m_bufferEnd - m_bufferStart);
    std::memcpy(ptr, m_buffer.data() + m_bufferStart, count);
    m_bufferStart += count;
    return static_cast<ssize_t>(count);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
    size_t written = 0;
    while (written < size) {
        if (!WaitFor(true, kWriteTimeout)) {
            return -1;
        }
        const long long n = platform::SendSome(m_socket, ptr + written, size - written);
        if (n < 0) {
            return -1;
        }
        written += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(written);
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    platform::PeerAddress(m_socket, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
    platform::LocalAddress(m_socket, ip, port);
}

}  // namespace mofeng::sim
