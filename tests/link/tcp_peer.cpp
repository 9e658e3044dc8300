// The scripted loopback Modbus TCP server of the link tests.
#include "link/tcp_peer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace {

bool ReadExactly(int fd, uint8_t* into, size_t count) {
    size_t done = 0;
    while (done < count) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 5000) <= 0) return false;
        ssize_t n = recv(fd, into + done, count - done, 0);
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

void Finish(int fd, PeerAnswer::Then how) {
    if (how == PeerAnswer::Reset) {
        linger hard{1, 0};  // closing with a zero linger sends a reset
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }
    close(fd);
}

int Listen(int family, int* port) {
    int fd = socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_storage address{};
    socklen_t length;
    if (family == AF_INET6) {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&address);
        in6->sin6_family = AF_INET6;
        in6->sin6_addr = in6addr_loopback;
        length = sizeof *in6;
    } else {
        auto* in = reinterpret_cast<sockaddr_in*>(&address);
        in->sin_family = AF_INET;
        in->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        length = sizeof *in;
    }
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) < 0 || listen(fd, 4) < 0) {
        close(fd);
        return -1;
    }
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    *port = ntohs(family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&address)->sin6_port
                                     : reinterpret_cast<sockaddr_in*>(&address)->sin_port);
    return fd;
}

}  // namespace

TcpPeer::TcpPeer(Handler handler, int family) : handler_(std::move(handler)) {
    listener_ = Listen(family, &port_);
    if (listener_ < 0 || pipe2(wake_, O_CLOEXEC) < 0) return;
    thread_ = std::thread(&TcpPeer::Run, this);
}

TcpPeer::~TcpPeer() {
    if (thread_.joinable()) {
        if (write(wake_[1], "x", 1) < 0) {
        }
        thread_.join();
    }
    StopListening();
    for (int fd : wake_)
        if (fd >= 0) close(fd);
}

std::vector<Frame> TcpPeer::Requests() {
    std::lock_guard<std::mutex> guard(lock_);
    return requests_;
}

bool TcpPeer::AwaitConnections(int n) {
    std::unique_lock<std::mutex> guard(lock_);
    return accepted_.wait_for(guard, std::chrono::seconds(5), [&] { return connections_ >= n; });
}

void TcpPeer::StopListening() {
    int fd = listener_.exchange(-1);
    if (fd >= 0) close(fd);
}

void TcpPeer::DropConnection(PeerAnswer::Then how) {
    dropRequest_ = how;
    if (write(wake_[1], "d", 1) < 0) {
    }
}

bool TcpPeer::ServeRequest(int fd) {
    Frame request(6);
    if (!ReadExactly(fd, request.data(), 6)) return close(fd), false;
    size_t rest = size_t(request[4] << 8 | request[5]);
    request.resize(6 + rest);
    if (!ReadExactly(fd, request.data() + 6, rest)) return close(fd), false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        requests_.push_back(request);
    }
    PeerAnswer answer = handler_(request);
    if (!answer.bytes.empty()) send(fd, answer.bytes.data(), answer.bytes.size(), MSG_NOSIGNAL);
    if (answer.then == PeerAnswer::Keep) return true;
    Finish(fd, answer.then);
    return false;
}

// One connection at a time, as a small Modbus device serves them.
void TcpPeer::Run() {
    int connection = -1;
    for (;;) {
        int listener = listener_;
        pollfd fds[3] = {{wake_[0], POLLIN, 0},
                         {connection < 0 ? listener : -1, POLLIN, 0},
                         {connection, POLLIN, 0}};
        if (poll(fds, 3, -1) < 0) continue;
        if (fds[0].revents) {
            char c;
            if (read(wake_[0], &c, 1) == 1 && c == 'd' && connection >= 0) {
                Finish(connection, PeerAnswer::Then(dropRequest_.load()));
                connection = -1;
                continue;
            }
            break;
        }
        if (fds[1].revents & POLLIN) {
            connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection >= 0) {
                std::lock_guard<std::mutex> guard(lock_);
                ++connections_;
                accepted_.notify_all();
            }
        }
        if (connection >= 0 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR)) &&
            !ServeRequest(connection))
            connection = -1;  // closed: by the answer's wish or because the client went
    }
    if (connection >= 0) close(connection);
}

Frame MbapFrame(uint16_t transaction, uint8_t unit, const Frame& pdu, int lengthField) {
    int length = lengthField >= 0 ? lengthField : int(pdu.size()) + 1;
    Frame frame = {uint8_t(transaction >> 8), uint8_t(transaction), 0,   0,
                   uint8_t(length >> 8),      uint8_t(length),      unit};
    frame.insert(frame.end(), pdu.begin(), pdu.end());
    return frame;
}

uint16_t TransactionOf(const Frame& request) { return uint16_t(request[0] << 8 | request[1]); }

PeerAnswer PatternAnswer(const Frame& request) {
    uint8_t function = request[7];
    unsigned start = unsigned(request[8] << 8 | request[9]);
    unsigned count = unsigned(request[10] << 8 | request[11]);
    Frame pdu = {function};
    if (function == 3 || function == 4) {
        pdu.push_back(uint8_t(2 * count));
        for (unsigned r = start; r < start + count; ++r) {
            uint16_t v = uint16_t(r * 3 + 1);
            pdu.push_back(uint8_t(v >> 8));
            pdu.push_back(uint8_t(v));
        }
    } else {
        pdu.insert(pdu.end(), request.begin() + 8, request.begin() + 12);
    }
    return {MbapFrame(TransactionOf(request), request[6], pdu)};
}
