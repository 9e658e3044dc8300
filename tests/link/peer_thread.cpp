// Pty peer thread.
#include "link/peer_thread.h"

#include <poll.h>
#include <unistd.h>

PeerThread::PeerThread(PtyPair& pty, Handler handler)
    : pty_(pty), handler_(std::move(handler)), thread_([this] { Run(); }) {}

PeerThread::~PeerThread() {
    stop_ = true;
    thread_.join();
}

void PeerThread::Run() {
    while (!stop_) {
        pollfd p{pty_.Master(), POLLIN, 0};
        if (p.fd < 0 || poll(&p, 1, 10) <= 0)
            continue;  // the timeout only bounds how late stop_ is seen
        uint8_t buffer[512];
        ssize_t n = read(p.fd, buffer, sizeof buffer);
        for (ssize_t i = 0; i < n; ++i) {
            Bytes answer = handler_(buffer[i]);
            if (!answer.empty()) pty_.Write(answer);
        }
    }
}
