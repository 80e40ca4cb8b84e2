#pragma once

#include <httplib.h>

#include <atomic>
#include <mutex>
#include <unordered_set>

namespace mofeng::sim {

// The HTTP server under the simulator: one request per connection (the
// reply says "Connection: close"), an elastic worker pool, and connections
// that can be cut all at once so that stopping never waits for a client.
class SimHttpServer final : public httplib::Server {
public:
    explicit SimHttpServer(const std::atomic<bool>& stopping);

    // Binds 127.0.0.1:port (0: an ephemeral port); the bound port, or -1.
    int BindLoopback(int port);
    // Shuts down every open connection; their reads and writes fail at once.
    void AbortConnections();

private:
    bool process_and_close_socket(socket_t sock) override;

    const std::atomic<bool>& m_stopping;
    std::mutex m_mutex;
    std::unordered_set<socket_t> m_open;
};

}  // namespace mofeng::sim
