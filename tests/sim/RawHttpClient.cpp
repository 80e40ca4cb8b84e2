#include "RawHttpClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace mofeng::sim::test {

std::string RawReply::Header(std::string_view name) const {
    std::size_t lineStart = 0;
    while (lineStart < headers.size()) {
        std::size_t lineEnd = headers.find("\r\n", lineStart);
        if (lineEnd == std::string::npos) {
            lineEnd = headers.size();
        }
        const std::string_view line(headers.data() + lineStart, lineEnd - lineStart);
        const std::size_t colon = line.find(':');
        if (colon == name.size() && strncasecmp(line.data(), name.data(), name.size()) == 0) {
            std::string_view value = line.substr(colon + 1);
            while (!value.empty() && value.front() == ' ') {
                value.remove_prefix(1);
            }
            return std::string(value);
        }
        lineStart = lineEnd + 2;
    }
    return {};
}

RawConnection::RawConnection(int port) {
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (m_fd >= 0 && ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        Close();
    }
}

RawConnection::~RawConnection() {
    Close();
}

void RawConnection::Close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool RawConnection::Send(std::string_view method, std::string_view target,
                         std::string_view headerLines) {
    const std::string request = std::string(method) + " " + std::string(target) + " HTTP/1.0\r\n" +
                                std::string(headerLines) + "\r\n";
    std::size_t sent = 0;
    while (Connected() && sent < request.size()) {
        const ssize_t n = ::send(m_fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return Connected();
}

RawReply RawConnection::ReadHeaders() {
    RawReply reply;
    reply.connected = Connected();
    std::string received;
    char buffer[16384];
    std::size_t end = std::string::npos;
    while (Connected() && (end = received.find("\r\n\r\n")) == std::string::npos) {
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        received.append(buffer, static_cast<std::size_t>(n));
    }
    if (end == std::string::npos) {
        return reply;
    }
    const std::size_t statusEnd = received.find("\r\n");
    const std::string statusLine = received.substr(0, statusEnd);
    if (const std::size_t space = statusLine.find(' '); space != std::string::npos) {
        reply.status = std::atoi(statusLine.c_str() + space + 1);
    }
    reply.headers = received.substr(statusEnd + 2, end + 2 - (statusEnd + 2));
    reply.body = received.substr(end + 4);
    if (const std::string length = reply.Header("Content-Length"); !length.empty()) {
        reply.contentLength = static_cast<std::size_t>(std::stoull(length));
    }
    return reply;
}

void RawConnection::ReadToEnd(RawReply& reply) {
    char buffer[65536];
    while (Connected()) {
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        reply.body.append(buffer, static_cast<std::size_t>(n));
    }
}

RawReply RawGet(int port, std::string_view target, std::string_view headerLines) {
    RawConnection connection(port);
    if (!connection.Send("GET", target, headerLines)) {
        return RawReply{};
    }
    RawReply reply = connection.ReadHeaders();
    connection.ReadToEnd(reply);
    return reply;
}

}  // namespace mofeng::sim::test
