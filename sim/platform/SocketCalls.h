#pragma once

#include <httplib.h>

#include <cstddef>
#include <string>

// The socket calls of the simulator's own connection handling, which differ
// between POSIX systems and Windows (Winsock). socket_t is the library's.
namespace mofeng::sim::platform {

enum class Readiness { Ready, TimedOut, Failed };

// Waits up to timeoutMs for the socket to become readable (or writable); a
// hang-up counts as ready, so that the next call sees the end. An
// interrupted wait is a timeout.
Readiness WaitReady(socket_t socket, bool forWrite, int timeoutMs);

// Writable at once, and the client has not closed its side.
bool WritableAndOpen(socket_t socket);

// recv into buffer: bytes received, 0 at the end, < 0 on failure.
long long ReceiveSome(socket_t socket, char* buffer, std::size_t size);

// A send that never blocks and never raises SIGPIPE: bytes sent, 0 when
// the socket is busy (try again), < 0 on failure.
long long SendSome(socket_t socket, const char* data, std::size_t size);

// The peer's or the local address as text and port; false when unknown.
bool PeerAddress(socket_t socket, std::string& ip, int& port);
bool LocalAddress(socket_t socket, std::string& ip, int& port);

// Before bind: a restarted simulator may take its port again at once, and
// no second simulator may share it (SO_REUSEADDR without SO_REUSEPORT on
// POSIX systems, SO_EXCLUSIVEADDRUSE on Windows).
void SetListenAddressOptions(socket_t socket);
// listen() again on a listening socket, with a longer queue.
void ListenWithBacklog(socket_t socket, int backlog);
void ShutdownBoth(socket_t socket);
// Small writes go out at once (TCP_NODELAY): a kept-alive connection would
// otherwise hold a reply's second write for the client's delayed ACK.
void SendWithoutDelay(socket_t socket);
// Writes to a socket the client has closed fail instead of raising SIGPIPE
// for the whole process (the TLS library writes with plain write calls).
void IgnoreBrokenPipe();
void CloseSocket(socket_t socket);
// A blocking TCP connection to 127.0.0.1:port; INVALID_SOCKET when refused.
socket_t ConnectLoopback(int port);

}  // namespace mofeng::sim::platform
