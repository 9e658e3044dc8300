// The simulator's listening socket, for Modbus TCP and for the serial
// protocols served as a device server would serve them.
#include "listener.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>

namespace {

// "HOST:PORT", "[v6]:PORT" or "v6:PORT" (the port after the last colon).
bool SplitHostPort(const std::string& text, std::string* host, std::string* port) {
    size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon + 1 == text.size()) return false;
    *host = text.substr(0, colon);
    *port = text.substr(colon + 1);
    if (host->size() >= 2 && host->front() == '[' && host->back() == ']')
        *host = host->substr(1, host->size() - 2);
    return !host->empty();
}

}  // namespace

int ListenOn(const std::string& where) {
    std::string host, port;
    if (!SplitHostPort(where, &host, &port)) return -1;
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0) return -1;
    int fd = socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    if (fd >= 0) setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (fd >= 0 && (bind(fd, found->ai_addr, found->ai_addrlen) < 0 || listen(fd, 8) < 0)) {
        close(fd);
        fd = -1;
    }
    freeaddrinfo(found);
    return fd;
}

int BoundPort(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
    return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
}


int ListenAndAnnounce(const std::string& where) {
    int listener = ListenOn(where);
    if (listener < 0) {
        fprintf(stderr, "kova-sim: cannot listen on %s\n", where.c_str());
        return -1;
    }
    printf("listening\n%d\n", BoundPort(listener));
    fflush(stdout);
    return listener;
}
