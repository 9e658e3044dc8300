// Serial reads and writes with their failures sorted once.
#include "link/serial_io.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

bool Transient(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINTR; }

// Milliseconds left before the deadline for poll(): -1 without one.
int Remaining(bool limited, Clock::time_point deadline) {
    if (!limited) return -1;
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

// Waits for the device to be ready for events; Done when it is.
SerialIo WaitReady(int fd, short events, bool limited, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        int ready = poll(&p, 1, Remaining(limited, deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return SerialIo::Lost;
        if (ready == 0) return SerialIo::Timeout;
        if (p.revents & events) return SerialIo::Done;
        return SerialIo::Lost;  // hang-up or error without the event asked for
    }
}

}  // namespace

bool SerialPollLost(short revents) { return revents & (POLLHUP | POLLERR | POLLNVAL); }

SerialIo ReadSerialReady(int fd, uint8_t* buffer, size_t size, size_t* got) {
    *got = 0;
    ssize_t n = read(fd, buffer, size);
    if (n > 0) {
        *got = size_t(n);
        return SerialIo::Done;
    }
    if (n < 0 && Transient(errno)) return SerialIo::Again;
    return SerialIo::Lost;
}

SerialIo WriteSerialOnce(int fd, const uint8_t* buffer, size_t size, size_t* put, bool socket) {
    *put = 0;
    // A device server that has gone must be a lost port, not SIGPIPE.
    ssize_t n = socket ? send(fd, buffer, size, MSG_NOSIGNAL) : write(fd, buffer, size);
    if (n > 0) {
        *put = size_t(n);
        return SerialIo::Done;
    }
    if (n == 0 || Transient(errno)) return SerialIo::Again;
    return SerialIo::Lost;
}

SerialIo ReadSerialTimed(int fd, uint8_t* buffer, size_t count, int timeoutMs, size_t* moved) {
    *moved = 0;
    bool limited = timeoutMs >= 0;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limited ? timeoutMs : 0);
    while (*moved < count) {
        SerialIo ready = WaitReady(fd, POLLIN, limited, deadline);
        if (ready != SerialIo::Done) return ready;
        size_t got;
        SerialIo r = ReadSerialReady(fd, buffer + *moved, count - *moved, &got);
        if (r == SerialIo::Lost) return r;
        *moved += got;
    }
    return SerialIo::Done;
}

SerialIo WriteSerialTimed(int fd, const uint8_t* buffer, size_t count, int timeoutMs,
                          size_t* moved) {
    *moved = 0;
    bool limited = timeoutMs >= 0;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limited ? timeoutMs : 0);
    while (*moved < count) {
        size_t put;
        SerialIo r = WriteSerialOnce(fd, buffer + *moved, count - *moved, &put);
        if (r == SerialIo::Lost) return r;
        *moved += put;
        if (r == SerialIo::Again) {
            SerialIo ready = WaitReady(fd, POLLOUT, limited, deadline);
            if (ready != SerialIo::Done) return ready;
        }
    }
    return SerialIo::Done;
}
