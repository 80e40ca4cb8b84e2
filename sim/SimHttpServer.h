#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <unordered_set>

#include "sim/ElasticTaskQueue.h"

using SSL_CTX = struct ssl_ctx_st;

namespace mofeng::sim {

// The HTTP server under the simulator: an elastic worker pool, and
// connections that can be cut all at once so that stopping never waits for a
// client. Plain HTTP serves one request per connection (the reply says
// "Connection: close"); over TLS a connection serves requests while the
// client keeps it open (HTTP/1.0 with "Connection: Keep-Alive", or HTTP/1.1).
class SimHttpServer final : public httplib::Server {
public:
    explicit SimHttpServer(const std::atomic<bool>& stopping);

    // Serves TLS with this context (kept by the caller) from now on.
    void UseTls(SSL_CTX* context) { m_tls = context; }
    // 1-based number of the connection the calling handler serves; 0 outside
    // a handler.
    static std::uint64_t CurrentConnection();
    std::uint64_t ConnectionCount() const { return m_connections.load(); }

    // Binds 127.0.0.1:port (0: an ephemeral port); the bound port, or -1.
    int BindLoopback(int port);
    // Shuts down every open connection; their reads and writes fail at once.
    void AbortConnections();
    // Returns once every connection accepted before the call has been served
    // to its end, so that with its clients stopped the requests seen no
    // longer change. It opens a connection of its own after theirs (they are
    // accepted in order) that sends no request, which no handler sees. False
    // when that takes longer than limit (a TLS client keeps its connection).
    bool Settle(std::chrono::milliseconds limit);

private:
    bool process_and_close_socket(socket_t sock) override;
    // Requests of one TLS connection until the client closes it or stays idle.
    bool ServeKeptAlive(httplib::Stream& stream);

    const std::atomic<bool>& m_stopping;
    SSL_CTX* m_tls = nullptr;
    std::atomic<std::uint64_t> m_connections{0};
    int m_port = -1;
    UnfinishedTasks m_unfinished;
    std::mutex m_mutex;
    std::unordered_set<socket_t> m_open;
};

}  // namespace mofeng::sim
