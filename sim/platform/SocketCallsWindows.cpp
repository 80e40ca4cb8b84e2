#include "sim/platform/SocketCalls.h"

// httplib.h has included winsock2.h and ws2tcpip.h.

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

// Non-blocking for one call: Winsock has no MSG_DONTWAIT.
class NonBlockingScope {
public:
    explicit NonBlockingScope(socket_t socket) : m_socket(socket) {
        u_long on = 1;
        ioctlsocket(m_socket, FIONBIO, &on);
    }
    ~NonBlockingScope() {
        u_long off = 0;
        ioctlsocket(m_socket, FIONBIO, &off);
    }
    NonBlockingScope(const NonBlockingScope&) = delete;
    NonBlockingScope& operator=(const NonBlockingScope&) = delete;

private:
    socket_t m_socket;
};

}  // namespace

Readiness WaitReady(socket_t socket, bool forWrite, int timeoutMs) {
    const SHORT events = forWrite ? POLLWRNORM : POLLRDNORM;
    WSAPOLLFD entry{socket, events, 0};
    const int rc = WSAPoll(&entry, 1, timeoutMs);
    if (rc == SOCKET_ERROR) {
        return Readiness::Failed;
    }
    if (rc == 0) {
        return Readiness::TimedOut;
    }
    return (entry.revents & (events | POLLHUP)) != 0 ? Readiness::Ready : Readiness::Failed;
}

bool WritableAndOpen(socket_t socket) {
    WSAPOLLFD entry{socket, POLLWRNORM, 0};
    if (WSAPoll(&entry, 1, 0) != 1 || (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        return false;
    }
    NonBlockingScope nonBlocking(socket);
    char probe = 0;
    const int peeked = recv(socket, &probe, 1, MSG_PEEK);
    return peeked != 0 && !(peeked == SOCKET_ERROR && WSAGetLastError() != WSAEWOULDBLOCK);
}

long long ReceiveSome(socket_t socket, char* buffer, std::size_t size) {
    const int n = recv(socket, buffer, static_cast<int>(size), 0);
    return n == SOCKET_ERROR ? -1 : n;
}

long long SendSome(socket_t socket, const char* data, std::size_t size) {
    NonBlockingScope nonBlocking(socket);  // Windows raises no SIGPIPE
    const int n = send(socket, data, static_cast<int>(size), 0);
    if (n == SOCKET_ERROR) {
        return WSAGetLastError() == WSAEWOULDBLOCK ? 0 : -1;
    }
    return n;
}

bool PeerAddress(socket_t socket, std::string& ip, int& port) {
    sockaddr_storage address{};
    int length = sizeof address;
    return getpeername(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
           AddressOf(address, ip, port);
}

bool LocalAddress(socket_t socket, std::string& ip, int& port) {
    sockaddr_storage address{};
    int length = sizeof address;
    return getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
           AddressOf(address, ip, port);
}

void SetListenAddressOptions(socket_t socket) {
    // On Windows SO_REUSEADDR lets another socket take a bound port; the
    // exclusive option is what keeps a second simulator off it.
    BOOL yes = TRUE;
    setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes),
               sizeof yes);
}

void ListenWithBacklog(socket_t socket, int backlog) {
    listen(socket, backlog);
}

void ShutdownBoth(socket_t socket) {
    shutdown(socket, SD_BOTH);
}

void CloseSocket(socket_t socket) {
    closesocket(socket);
}

socket_t ConnectLoopback(int port) {
    const socket_t sock = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (sock == INVALID_SOCKET) {
        return INVALID_SOCKET;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        closesocket(sock);
        return INVALID_SOCKET;
    }
    return sock;
}

void IgnoreBrokenPipe() {
    // Winsock raises no signal.
}

void SendWithoutDelay(socket_t socket) {
    BOOL yes = TRUE;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&yes), sizeof yes);
}

}  // namespace mofeng::sim::platform
