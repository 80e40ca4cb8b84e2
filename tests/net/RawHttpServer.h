#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace mofeng::net::test {

// A TCP server on 127.0.0.1 (ephemeral port) that records each request's raw
// bytes (up to the blank line) and answers with a scripted reply. One
// connection at a time; the socket is closed when the reply returns.
class RawHttpServer final {
public:
    using Reply = std::function<void(int socket, const std::string& request)>;

    explicit RawHttpServer(Reply reply);
    ~RawHttpServer();
    RawHttpServer(const RawHttpServer&) = delete;
    RawHttpServer& operator=(const RawHttpServer&) = delete;

    // "http://127.0.0.1:PORT" followed by target.
    std::string Url(std::string_view target) const;
    int Port() const { return m_port; }
    std::vector<std::string> Requests() const;
    std::size_t ConnectionCount() const;
    void WaitForRequest() const;  // blocks until one request has been recorded

    static void SendAll(int socket, std::string_view bytes);
    static void WaitForPeerClose(int socket);  // reads and drops until EOF

private:
    void Serve();

    Reply m_reply;
    int m_listener = -1;
    int m_port = 0;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_requestArrived;
    std::vector<std::string> m_requests;
    std::size_t m_connections = 0;
    std::thread m_thread;
};

}  // namespace mofeng::net::test
