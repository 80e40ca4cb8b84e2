#pragma once

#include <httplib.h>

#include <array>
#include <atomic>
#include <chrono>

using SSL = struct ssl_st;
using SSL_CTX = struct ssl_ctx_st;

namespace mofeng::sim {

// The server side of one accepted connection. Every wait is cut into short
// slices that watch the stopping flag, so that stopping the simulator never
// waits for a slow or silent client.
class ConnectionStream final : public httplib::Stream {
public:
    ConnectionStream(socket_t fd, const std::atomic<bool>& stopping);
    ~ConnectionStream() override;
    ConnectionStream(const ConnectionStream&) = delete;
    ConnectionStream& operator=(const ConnectionStream&) = delete;

    // Makes this a TLS connection: the server handshake, waiting for the
    // client as long as a read would. False when it fails (the connection is
    // then of no use). Before any read or write.
    bool AcceptTls(SSL_CTX* context);

    bool is_readable() const override;
    // Writable now and the client has not gone away.
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    // Writes everything or fails.
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return m_socket; }

private:
    // True when the socket is ready to read (or write) before the limit;
    // false on timeout, error or stop.
    bool WaitFor(bool forWrite, std::chrono::milliseconds limit) const;
    // One receive or send, through TLS when the connection has it; the
    // platform calls' conventions (0: end or busy, < 0: failure).
    long long Receive(char* buffer, size_t size);
    long long Send(const char* data, size_t size);

    socket_t m_socket;
    const std::atomic<bool>& m_stopping;
    SSL* m_tls = nullptr;  // null: plain
    // The library reads the request a byte at a time: serve that from here.
    std::array<char, 4096> m_buffer{};
    size_t m_bufferStart = 0;
    size_t m_bufferEnd = 0;
};

}  // namespace mofeng::sim
