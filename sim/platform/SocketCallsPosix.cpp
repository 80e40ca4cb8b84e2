#include "sim/platform/SocketCalls.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>

namespace mofeng::sim::platform {
namespace {

bool AddressOf(const sockaddr_storage& address, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        port = ntohs(v4.sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        port = ntohs(v6.sin6_port);
    } else {
        return false;
    }
    ip = text;
    return true;
}

}  // namespace

Readiness WaitReady(socket_t socket, bool forWrite, int timeoutMs) {
    const short events = forWrite ? POLLOUT : POLLIN;
    pollfd entry{socket, events, 0};
    const int rc = ::poll(&entry, 1, timeoutMs);
    if (rc < 0) {
        return errno == EINTR ? Readiness::TimedOut : Readiness::Failed;
    }
    if (rc == 0) {
        return Readiness::TimedOut;
    }
    return (entry.revents & (events | POLLHUP)) != 0 ? Readiness::Ready : Readiness::Failed;
}

bool WritableAndOpen(socket_t socket) {
    pollfd entry{socket, POLLOUT, 0};
    if (::poll(&entry, 1, 0) != 1 || (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        return false;
    }
    char probe = 0;
    const ssize_t peeked = ::recv(socket, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
    return peeked != 0 && !(peeked < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
}

long long ReceiveSome(socket_t socket, char* buffer, std::size_t size) {
    ssize_t n = 0;
    do {
        n = ::recv(socket, buffer, size, 0);
    } while (n < 0 && errno == EINTR);
    return n;
}

long long SendSome(socket_t socket, const char* data, std::size_t size) {
    const ssize_t n = ::send(socket, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0) {
        return errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
    return n;
}

bool PeerAddress(socket_t socket, std::string& ip, int& port) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    return ::getpeername(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
           AddressOf(address, ip, port);
}

bool LocalAddress(socket_t socket, std::string& ip, int& port) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    return ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
           AddressOf(address, ip, port);
}

void SetListenAddressOptions(socket_t socket) {
    int yes = 1;
    ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

void ListenWithBacklog(socket_t socket, int backlog) {
    ::listen(socket, backlog);
}

void ShutdownBoth(socket_t socket) {
    ::shutdown(socket, SHUT_RDWR);
}

void CloseSocket(socket_t socket) {
    ::close(socket);
}

socket_t ConnectLoopback(int port) {
    const socket_t sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (sock == INVALID_SOCKET) {
        return INVALID_SOCKET;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int rc = 0;
    do {
        rc = ::connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (rc < 0 && errno == EINTR);
    if (rc < 0) {
        ::close(sock);
        return INVALID_SOCKET;
    }
    return sock;
}

void IgnoreBrokenPipe() {
    ::signal(SIGPIPE, SIG_IGN);
}

void SendWithoutDelay(socket_t socket) {
    int yes = 1;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
}

}  // namespace mofeng::sim::platform
