// Pseudo-terminal pairs for tests.
#include "common/pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

PtyPair::PtyPair() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        throw std::runtime_error("no pty");
    slavePath_ = ptsname(master_);
    // Raw before the link opens it, so nothing is echoed or translated, and
    // held open so the master never sees a hang-up between opens.
    slaveKeeper_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t;
    tcgetattr(slaveKeeper_, &t);
    cfmakeraw(&t);
    tcsetattr(slaveKeeper_, TCSANOW, &t);
}

PtyPair::~PtyPair() {
    if (slaveKeeper_ >= 0) close(slaveKeeper_);
    CloseMaster();
}

void PtyPair::CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
}

void PtyPair::Write(const Bytes& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += size_t(n);
        } else if (errno == EAGAIN) {
            pollfd p{master_, POLLOUT, 0};
            poll(&p, 1, 100);
        } else {
            return;
        }
    }
}

bool PtyPair::ReadSome(Bytes* got, std::chrono::steady_clock::time_point end) {
    auto left = std::chrono::duration_cast<Millis>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, int(left.count())) <= 0) return false;
    uint8_t buffer[512];
    ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0) return n < 0 && errno == EAGAIN;
    got->insert(got->end(), buffer, buffer + n);
    return true;
}

Bytes PtyPair::Read(size_t count, Millis deadline) {
    Bytes got = ReadUntil([count](const Bytes& b) { return b.size() >= count; }, deadline);
    return got;
}

bool PtyPair::Quiet(Millis window) {
    Bytes got;
    auto end = std::chrono::steady_clock::now() + window;
    while (ReadSome(&got, end) && got.empty()) {
    }
    return got.empty();
}
