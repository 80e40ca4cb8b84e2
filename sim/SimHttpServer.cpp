#include "sim/SimHttpServer.h"

#include "sim/ConnectionStream.h"
#include "sim/ElasticTaskQueue.h"
#include "sim/platform/SocketCalls.h"

namespace mofeng::sim {
namespace {

constexpr std::size_t kMaxWorkers = 512;
constexpr int kListenBacklog = 1024;
// Requests one kept-alive TLS connection serves before it is closed.
constexpr int kMaxRequestsPerConnection = 1000;

thread_local std::uint64_t t_connection = 0;

}  // namespace

SimHttpServer::SimHttpServer(const std::atomic<bool>& stopping) : m_stopping(stopping) {
    new_task_queue = [this] { return new ElasticTaskQueue(kMaxWorkers, &m_unfinished); };
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
    m_port = bound;
    return bound;
}

void SimHttpServer::AbortConnections() {
    std::lock_guard lock(m_mutex);
    for (socket_t sock : m_open) {
        platform::ShutdownBoth(sock);
    }
}

bool SimHttpServer::Settle(std::chrono::milliseconds limit) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + limit;
    const socket_t sock = platform::ConnectLoopback(m_port);
    if (sock == INVALID_SOCKET) {
        return false;
    }
    // No request line: refused before routing over plain HTTP, a failed
    // handshake over TLS; either way the server closes the connection.
    static constexpr char kNoRequest[] = "SETTLE\r\n\r\n";
    platform::SendSome(sock, kNoRequest, sizeof kNoRequest - 1);
    bool closed = false;
    char buffer[512];
    while (!closed) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || platform::WaitReady(sock, false, static_cast<int>(left.count())) !=
                                     platform::Readiness::Ready) {
            break;
        }
        closed = platform::ReceiveSome(sock, buffer, sizeof buffer) <= 0;
    }
    platform::CloseSocket(sock);
    return closed &&
           m_unfinished.WaitUntilNone(
               std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
}

bool SimHttpServer::ServeKeptAlive(httplib::Stream& stream) {
    bool ok = false;
    bool connectionClosed = false;
    for (int served = 1; !m_stopping.load(); ++served) {
        const bool last = served >= kMaxRequestsPerConnection;
        ok = process_request(stream, last, connectionClosed, nullptr);
        // An idle client is let go after the stream's read timeout.
        if (!ok || last || connectionClosed || !stream.is_readable()) {
            break;
        }
    }
    return ok;
}

std::uint64_t SimHttpServer::CurrentConnection() {
    return t_connection;
}

bool SimHttpServer::process_and_close_socket(socket_t sock) {
    {
        std::lock_guard lock(m_mutex);
        m_open.insert(sock);
    }
    bool ok = false;
    t_connection = ++m_connections;
    if (!m_stopping.load()) {
        ConnectionStream stream(sock, m_stopping);
        bool connectionClosed = false;
        if (m_tls == nullptr) {
            ok = process_request(stream, /*close_connection=*/true, connectionClosed, nullptr);
        } else {
            platform::SendWithoutDelay(sock);
            ok = stream.AcceptTls(m_tls) && ServeKeptAlive(stream);
        }
    }
    t_connection = 0;
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
