#include "sim/ConnectionStream.h"

#include <algorithm>
#include <cstring>

#include "sim/platform/SocketCalls.h"

#if MOFENG_SIM_TLS
#include <openssl/err.h>
#include <openssl/ssl.h>
#endif

namespace mofeng::sim {
namespace {

constexpr std::chrono::milliseconds kReadTimeout{5000};
constexpr std::chrono::milliseconds kWriteTimeout{5000};
constexpr std::chrono::milliseconds kSlice{20};

}  // namespace

ConnectionStream::ConnectionStream(socket_t fd, const std::atomic<bool>& stopping)
    : m_socket(fd), m_stopping(stopping) {}

ConnectionStream::~ConnectionStream() {
#if MOFENG_SIM_TLS
    if (m_tls != nullptr) {
        SSL_shutdown(m_tls);  // close_notify only; the socket is closed by the owner
        SSL_free(m_tls);
        ERR_clear_error();
    }
#endif
}

bool ConnectionStream::AcceptTls(SSL_CTX* context) {
#if MOFENG_SIM_TLS
    m_tls = SSL_new(context);
    if (m_tls == nullptr || SSL_set_fd(m_tls, static_cast<int>(m_socket)) != 1) {
        return false;
    }
    // The socket blocks; each step of the handshake waits for the client
    // first, so a silent client is let go after the read timeout.
    for (;;) {
        const int accepted = SSL_accept(m_tls);
        if (accepted == 1) {
            return true;
        }
        const int why = SSL_get_error(m_tls, accepted);
        ERR_clear_error();
        if (why == SSL_ERROR_WANT_READ && WaitFor(false, kReadTimeout)) {
            continue;
        }
        if (why == SSL_ERROR_WANT_WRITE && WaitFor(true, kWriteTimeout)) {
            continue;
        }
        return false;
    }
#else
    (void)context;
    return false;
#endif
}

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
#if MOFENG_SIM_TLS
    if (m_tls != nullptr && SSL_pending(m_tls) > 0) {
        return true;
    }
#endif
    return m_bufferStart < m_bufferEnd || WaitFor(false, kReadTimeout);
}

bool ConnectionStream::is_writable() const {
    return !m_stopping.load() && platform::WritableAndOpen(m_socket);
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
    if (m_bufferStart == m_bufferEnd) {
        if (!is_readable()) {
            return -1;
        }
        const long long n = Receive(m_buffer.data(), m_buffer.size());
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
        const long long n = Send(ptr + written, size - written);
        if (n < 0) {
            return -1;
        }
        written += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(written);
}

long long ConnectionStream::Receive(char* buffer, size_t size) {
#if MOFENG_SIM_TLS
    if (m_tls != nullptr) {
        const int n = SSL_read(m_tls, buffer, static_cast<int>(std::min<size_t>(size, 1 << 30)));
        if (n > 0) {
            return n;
        }
        const int why = SSL_get_error(m_tls, n);
        ERR_clear_error();
        return why == SSL_ERROR_ZERO_RETURN ? 0 : -1;
    }
#endif
    return platform::ReceiveSome(m_socket, buffer, size);
}

long long ConnectionStream::Send(const char* data, size_t size) {
#if MOFENG_SIM_TLS
    if (m_tls != nullptr) {
        const int n = SSL_write(m_tls, data, static_cast<int>(std::min<size_t>(size, 1 << 30)));
        if (n > 0) {
            return n;
        }
        const int why = SSL_get_error(m_tls, n);
        ERR_clear_error();
        return why == SSL_ERROR_WANT_WRITE || why == SSL_ERROR_WANT_READ ? 0 : -1;
    }
#endif
    return platform::SendSome(m_socket, data, size);
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    platform::PeerAddress(m_socket, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
    platform::LocalAddress(m_socket, ip, port);
}

}  // namespace mofeng::sim
