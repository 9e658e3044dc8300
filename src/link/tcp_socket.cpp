// Address resolution, bounded connects and signal-free sends on POSIX
// sockets, standing in for the Windows Sockets calls of the original.
#include "link/tcp_socket.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace {

constexpr int kConnectSliceMs = 10;

// A decimal number of 0 to 255 at text; advances it past the digits.
bool ParseByte(const char*& text, uint8_t* value) {
    int n = 0, digits = 0;
    while (*text >= '0' && *text <= '9' && digits < 4) {
        n = n * 10 + (*text++ - '0');
        ++digits;
    }
    if (digits == 0 || digits > 3 || n > 255) return false;
    *value = static_cast<uint8_t>(n);
    return true;
}

bool SetPort(PeerAddress* peer, int port) {
    uint16_t networkPort = htons(static_cast<uint16_t>(port));
    if (peer->address.ss_family == AF_INET) {
        reinterpret_cast<sockaddr_in*>(&peer->address)->sin_port = networkPort;
        return true;
    }
    if (peer->address.ss_family == AF_INET6) {
        reinterpret_cast<sockaddr_in6*>(&peer->address)->sin6_port = networkPort;
        return true;
    }
    return false;
}

// Waits for a non-blocking connect to finish; 0 or an errno value.
int AwaitConnect(int fd, ConnectIdle idle, void* argument) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kConnectTimeoutMs);
    for (;;) {
        pollfd p{fd, POLLOUT, 0};
        int ready = poll(&p, 1, kConnectSliceMs);
        if (ready < 0 && errno != EINTR) return errno;
        if (ready > 0) {
            int error = 0;
            socklen_t size = sizeof error;
            if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) < 0) return errno;
            return error;
        }
        if (idle && !idle(argument)) return ECANCELED;
        if (std::chrono::steady_clock::now() >= deadline) return ETIMEDOUT;
    }
}

}  // namespace

bool ParseDottedQuad(const char* text, uint8_t bytes[4]) {
    for (int i = 0; i < 4; ++i) {
        if (i > 0 && *text++ != '.') return false;
        if (!ParseByte(text, &bytes[i])) return false;
    }
    return *text == '\0';
}

bool ResolvePeer(const char* host, int port, PeerAddress* peer) {
    *peer = PeerAddress{};
    uint8_t quad[4];
    if (ParseDottedQuad(host, quad)) {
        auto* in = reinterpret_cast<sockaddr_in*>(&peer->address);
        in->sin_family = AF_INET;
        memcpy(&in->sin_addr, quad, 4);
        peer->length = sizeof(sockaddr_in);
        return SetPort(peer, port);
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) return false;
    bool ok = found->ai_addrlen <= sizeof peer->address;
    if (ok) {
        memcpy(&peer->address, found->ai_addr, found->ai_addrlen);
        peer->length = found->ai_addrlen;
        ok = SetPort(peer, port);
    }
    freeaddrinfo(found);
    return ok;
}

int ConnectSocket(const PeerAddress& peer, ConnectIdle idle, void* argument) {
    int fd = socket(peer.address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    // Requests are a dozen bytes each way; none may wait for a delayed ack.
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    int error = 0;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&peer.address), peer.length) < 0)
        error = errno == EINPROGRESS ? AwaitConnect(fd, idle, argument) : errno;
    if (error) {
        close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

void CloseSocket(int fd) {
    if (fd < 0) return;
    shutdown(fd, SHUT_RDWR);
    close(fd);
}

long SendBytes(int fd, const uint8_t* data, int length) {
    return send(fd, data, static_cast<size_t>(length), MSG_NOSIGNAL);
}
