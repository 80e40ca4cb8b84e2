#include "sim/SimHttpServer.h"

#include "sim/ConnectionStream.h"
#include "sim/ElasticTaskQueue.h"
#include "sim/platform/SocketCalls.h"

namespace mofeng::sim {
namespace {

constexpr std::size_t kMaxWorkers = 512;
constexpr int kListenBacklog = 1024;

}  // namespace

SimHttpServer::SimHttpServer(const std::atomic<bool>& stopping) : m_stopping(stopping) {
    new_task_queue = [] { return new ElasticTaskQueue(kMaxWorkers); };
    // The default options add SO_REUSEPORT, which would let a second
    // simulator share a fixed port silently.
    set_socket_options(platform::SetListenAddressOptions);
}

int SimHttpServer::BindLoopback(int port) {
    int bound = -1;
    if (port == 0) {
        bound = bind_to_any_port("127.0.0.1");
    } else if (bind_to_port("127.0.0.1", port)) {
        bound = port;
    }
    if (bound > 0) {
        // The library listens with a backlog of 5: too short for bursts of
        // one-request connections.
        platform::ListenWithBacklog(svr_sock_.load(), kListenBacklog);
    }
    return bound;
}

void SimHttpServer::AbortConnections() {
    std::lock_guard lock(m_mutex);
    for (socket_t sock : m_open) {
        platform::ShutdownBoth(sock);
    }
}

bool SimHttpServer::process_and_close_socket(socket_t sock) {
    {
        std::lock_guard lock(m_mutex);
        m_open.insert(sock);
    }
    bool ok = false;
    if (!m_stopping.load()) {
        ConnectionStream stream(sock, m_stopping);
        bool connectionClosed = false;
        ok = process_request(stream, /*close_connection=*/true, connectionClosed, nullptr);
    }
    {
        // Unregistered before close, so that AbortConnections never touches a
        // descriptor number that has been reused.
        std::lock_guard lock(m_mutex);
        m_open.erase(sock);
    }
    platform::ShutdownBoth(sock);
    platform::CloseSocket(sock);
    return ok;
}

}  // namespace mofeng::sim
