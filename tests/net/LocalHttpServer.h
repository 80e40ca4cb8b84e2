#pragma once

#include <httplib.h>

#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace mofeng::net::test {

// A cpp-httplib server on 127.0.0.1 (ephemeral port) serving the routes that
// the constructor's argument registers. Stopped and joined on destruction.
class LocalHttpServer final {
public:
    explicit LocalHttpServer(const std::function<void(httplib::Server&)>& routes) {
        routes(m_server);
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
    }
    ~LocalHttpServer() {
        // stop() is a no-op until the accept loop has started.
        while (!m_server.is_running()) {
            std::this_thread::yield();
        }
        m_server.stop();
        m_thread.join();
    }
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    std::string Url(std::string_view target) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + std::string(target);
    }

private:
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
};

}  // namespace mofeng::net::test
