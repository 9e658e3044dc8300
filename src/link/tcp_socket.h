// The TCP transport of a Modbus TCP link: the peer's address from a host
// text, a connect that gives up after a bounded time, and sends that never
// raise SIGPIPE. Sockets are non-blocking and close-on-exec throughout.
#pragma once
#include <sys/socket.h>

#include <cstdint>

// Longest wait for a connection to be accepted; the system's own timeout
// (minutes for an unreachable host) would freeze the screen meanwhile.
constexpr int kConnectTimeoutMs = 5000;

struct PeerAddress {
    sockaddr_storage address{};
    socklen_t length = 0;
};

// Four decimal numbers of 0 to 255 separated by dots, and nothing else.
bool ParseDottedQuad(const char* text, uint8_t bytes[4]);

// A dotted quad is taken as it stands; any other text is resolved by name
// and the first address found is used. False when the name does not resolve.
bool ResolvePeer(const char* host, int port, PeerAddress* peer);

// Polled about every 10 ms while connecting; returning 0 gives up.
using ConnectIdle = int (*)(void* argument);

// A connected non-blocking socket, or -1 with errno set (ETIMEDOUT after
// kConnectTimeoutMs, ECANCELED when idle gave up).
int ConnectSocket(const PeerAddress& peer, ConnectIdle idle, void* argument);

// Shuts the socket down in both directions and closes it.
void CloseSocket(int fd);

// One send without SIGPIPE: bytes sent, or -1 with errno set.
long SendBytes(int fd, const uint8_t* data, int length);
