#include "sim/ConnectionStream.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace mofeng::sim {
namespace {

constexpr std::chrono::milliseconds kReadTimeout{5000};
constexpr std::chrono::milliseconds kWriteTimeout{5000};
constexpr std::chrono::milliseconds kSlice{20};

void AddressOf(const sockaddr_storage& address, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        port = ntohs(v4.sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        port = ntohs(v6.sin6_port);
    }
    ip = text;
}

}  // namespace

ConnectionStream::ConnectionStream(socket_t fd, const std::atomic<bool>& stopping)
    : m_socket(fd), m_stopping(stopping) {}

bool ConnectionStream::WaitFor(short events, std::chrono::milliseconds limit) const {
    for (auto waited = std::chrono::milliseconds{0}; waited < limit; waited += kSlice) {
        if (m_stopping.load()) {
            return false;
        }
        pollfd entry{m_socket, events, 0};
        const int rc = ::poll(&entry, 1, static_cast<int>(kSlice.count()));
        if (rc < 0 && errno != EINTR) {
            return false;
        }
        if (rc > 0) {
            return (entry.revents & events) != 0 || (entry.revents & POLLHUP) != 0;
        }
    }
    return false;
}

bool ConnectionStream::is_readable() const {
    return m_bufferStart < m_bufferEnd || WaitFor(POLLIN, kReadTimeout);
}

bool ConnectionStream::is_writable() const {
    if (m_stopping.load()) {
        return false;
    }
    pollfd entry{m_socket, POLLOUT, 0};
    if (::poll(&entry, 1, 0) != 1 || (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        return false;
    }
    char probe = 0;
    const ssize_t peeked = ::recv(m_socket, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
    return peeked != 0 && !(peeked < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
    if (m_bufferStart == m_bufferEnd) {
        if (!WaitFor(POLLIN, kReadTimeout)) {
            return -1;
        }
        ssize_t n = 0;
        do {
            n = ::recv(m_socket, m_buffer.data(), m_buffer.size(), 0);
        } while (n < 0 && errno == EINTR);
        if (n <= 0) {
            return n;
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
        if (!WaitFor(POLLOUT, kWriteTimeout)) {
            return -1;
        }
        const ssize_t n =
            ::send(m_socket, ptr + written, size - written, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                continue;
            }
            return -1;
        }
        written += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(written);
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getpeername(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        AddressOf(address, ip, port);
    }
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        AddressOf(address, ip, port);
    }
}

}  // namespace mofeng::sim
