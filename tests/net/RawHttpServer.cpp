#include "RawHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace mofeng::net::test {

RawHttpServer::RawHttpServer(Reply reply) : m_reply(std::move(reply)) {
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(m_listener, 16) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

RawHttpServer::~RawHttpServer() {
    shutdown(m_listener, SHUT_RDWR);  // makes the pending accept() fail
    m_thread.join();
    close(m_listener);
}

std::string RawHttpServer::Url(std::string_view target) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + std::string(target);
}

std::vector<std::string> RawHttpServer::Requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::size_t RawHttpServer::ConnectionCount() const {
    std::lock_guard lock(m_mutex);
    return m_connections;
}

void RawHttpServer::WaitForRequest() const {
    std::unique_lock lock(m_mutex);
    m_requestArrived.wait(lock, [this] { return !m_requests.empty(); });
}

void RawHttpServer::SendAll(int socket, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

void RawHttpServer::WaitForPeerClose(int socket) {
    char buffer[1024];
    while (recv(socket, buffer, sizeof buffer, 0) > 0) {
    }
}

void RawHttpServer::Serve() {
    for (;;) {
        const int connection = accept(m_listener, nullptr, nullptr);
        if (connection < 0) {
            return;
        }
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t received = recv(connection, buffer, sizeof buffer, 0);
            if (received <= 0) {
                break;
            }
            request.append(buffer, static_cast<std::size_t>(received));
        }
        {
            std::lock_guard lock(m_mutex);
            ++m_connections;
            m_requests.push_back(request);
        }
        m_requestArrived.notify_all();
        m_reply(connection, request);
        close(connection);
    }
}

}  // namespace mofeng::net::test
