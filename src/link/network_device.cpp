#include "link/network_device.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "link/network_port_name.h"
#include "link/tcp_socket.h"

namespace {

// A device server that is switched off or unplugged from the network sends
// nothing more, and a request would wait on a connection that is gone: TCP
// keepalive finds it within about half a minute, and the link then connects
// again on the next request.
void WatchConnection(int fd) {
    int one = 1, idle = 10, interval = 5, probes = 3;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
}

bool Fail(std::string* reason, std::string text, int* error, int code) {
    if (reason) *reason = std::move(text);
    if (error) *error = code;
    return false;
}

}  // namespace

bool ConnectNetworkDevice(const std::string& name, SerialDevice* device, std::string* reason,
                          int* error) {
    device->network = true;
    device->path = name;
    std::string wrong;
    const auto where = ParseNetworkPortName(name, &wrong);
    if (!where) return Fail(reason, "Port " + name + ": " + wrong, error, EINVAL);
    PeerAddress peer;
    if (!ResolvePeer(where->host.c_str(), where->port, &peer))
        return Fail(reason, "Cannot find the host " + where->host, error, EHOSTUNREACH);
    device->fd = ConnectSocket(peer, nullptr, nullptr);
    if (device->fd < 0) {
        const int code = errno;
        return Fail(reason, std::string("Connect: ") + std::strerror(code), error, code);
    }
    WatchConnection(device->fd);
    return true;
}

void CloseNetworkDevice(SerialDevice* device) {
    if (device->fd >= 0) CloseSocket(device->fd);
    device->fd = -1;
}
