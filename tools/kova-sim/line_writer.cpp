// Writing to the line, one character time per byte when paced.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "sim_slave.h"

void LineWriter::WriteAll(const uint8_t* bytes, size_t count) {
    while (count) {
        ssize_t n = write(fd_, bytes, count);
        if (n > 0) {
            bytes += n;
            count -= size_t(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd_, POLLOUT, 0};
            poll(&p, 1, 100);
        } else {
            return;  // the other end is gone; the serve loop notices on read
        }
    }
}

void LineWriter::Send(const Bytes& bytes) {
    sent_ += bytes.size();
    if (trickleMs_) {
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (i) Delay(trickleMs_);
            WriteAll(&bytes[i], 1);
        }
        return;
    }
    if (!pace_) return WriteAll(bytes.data(), bytes.size());
    // Each byte becomes readable when it would have arrived over the wire.
    auto due = std::chrono::steady_clock::now();
    for (uint8_t b : bytes) {
        due += std::chrono::nanoseconds(characterNs_);
        std::this_thread::sleep_until(due);
        WriteAll(&b, 1);
    }
}

void LineWriter::Delay(int milliseconds) {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void LineWriter::AwaitArrival(std::chrono::steady_clock::time_point start, size_t count) {
    if (pace_)
        std::this_thread::sleep_until(start + std::chrono::nanoseconds(characterNs_) * count);
}
