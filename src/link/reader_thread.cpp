// Driving a serial link's line: sleeping in ppoll() on the port and an
// eventfd (stop, transmit kick, new settings), feeding received bytes to the
// protocol as soon as they arrive, keeping the transmitter going, and ending
// a frame after a pause longer than the read interval where the protocol
// asks. The reader thread does it for ever; a request on a line driven by
// the requester does it while it waits.
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <ctime>

#include "link/link_backend.h"
#include "link/link_state.h"
#include "link/serial_io.h"
#include "link/serial_port.h"
#include "link/serial_termios.h"

namespace {

using Clock = SerialPort::Clock;
using Nanoseconds = std::chrono::nanoseconds;

constexpr Nanoseconds kNoTimeout{-1};
constexpr Nanoseconds kMinRecheck = std::chrono::microseconds(100);

Nanoseconds CharacterTime(const SerialPort& port) {
    return Nanoseconds(CharacterNanoseconds(port.settings));
}

// A vanished device (USB adapter unplugged) reads as ready with nothing to
// read; close it at once so the reader does not spin and the device name is
// free again when it comes back. Whatever was to be sent is dropped, and the
// request ends by its reply timeout.
void MarkLost(SerialPort& port) {
    if (port.lost) return;
    port.lost = true;
    CloseSerialDevice(&port.device);
}

void DropTransmission(Link* link, SerialPort& port) {
    ReturnFreePacket(link, link->framing->transmitPacket);
    link->framing->transmitPacket = nullptr;
    link->framing->transmitState = 0;
    while (Packet* packet = RemovePacket(link->transmitQueue)) ReturnFreePacket(link, packet);
    link->framing->transmitLength = 0;
    link->framing->lineFlags &= ~(LineWriting | LineSendDle | LineSendEnq | LineSendDleReply |
                                  LineSendReply | LineSendDleSyn | LineSendSyn | LineInFrame);
    port.written = 0;
}

void ApplyPendingSettings(SerialPort& port) {
    if (!port.pendingSettings) return;
    port.settings = *port.pendingSettings;
    port.pendingSettings.reset();
    if (port.lost)
        port.settingsError = ENODEV;
    else if (port.device.network)
        port.settingsError = 0;  // the device server sets its own line
    else
        port.settingsError = ApplyLineSettings(port.device.fd, port.settings) ? 0 : errno;
    port.readIntervalMs = ReadIntervalMs(port.settings.baud);
    port.settingsApplied.notify_all();
}

// Hands the rest of the transmit buffer to the driver; when all of it has left
// (drained queue, and the wire time where writes are paced) lets the protocol
// refill it. Returns how long to wait before looking again.
Nanoseconds ContinueWrite(Link* link, SerialPort& port) {
    for (;;) {
        if (!(link->framing->lineFlags & LineWriting)) return kNoTimeout;
        if (port.lost) {
            DropTransmission(link, port);
            return kNoTimeout;
        }
        Clock::time_point now = Clock::now();
        if (port.written < link->framing->transmitLength) {
            if (port.written == 0 && port.rtsWhileSending) SetModemLine(port.device.fd, true, true);
            size_t n;
            if (WriteSerialOnce(port.device.fd, link->framing->transmitBuffer + port.written,
                                link->framing->transmitLength - port.written, &n,
                                port.device.network) == SerialIo::Lost) {
                MarkLost(port);
                continue;
            }
            if (n > 0) {
                port.wireDone = std::max(port.wireDone, now) + CharacterTime(port) * n;
                port.written += static_cast<int>(n);
            }
            if (port.written < link->framing->transmitLength)
                return Nanoseconds(0);  // wait for POLLOUT
        }
        // A socket's queue holds what the far end has not yet acknowledged:
        // gone from here is done.
        int queued = port.device.network ? 0 : OutputQueued(port.device.fd);
        if (queued > 0) return std::max(kMinRecheck, CharacterTime(port) * queued);
        if (port.paceWrites && now < port.wireDone) return port.wireDone - now;
        if (port.rtsWhileSending) SetModemLine(port.device.fd, true, false);
        int done = port.written;
        port.written = 0;
        PumpTransmitter(link, done);
    }
}

Nanoseconds PauseTimeout(Link* link, const SerialPort& port, const LinkBackend* backend) {
    if (!backend || !backend->endOfPause || link->framing->receiveState == 0) return kNoTimeout;
    Clock::time_point end = port.lastByte + std::chrono::milliseconds(port.readIntervalMs);
    Clock::time_point now = Clock::now();
    if (now >= end) {
        backend->endOfPause(link);
        return kNoTimeout;
    }
    return end - now;
}

bool ReadBytes(Link* link, SerialPort& port) {
    uint8_t buffer[kSerialBufferSize];
    size_t n;
    SerialIo result = ReadSerialReady(
        port.device.fd, buffer, std::min<size_t>(sizeof buffer, link->framing->readChunk), &n);
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    if (result == SerialIo::Lost) {
        MarkLost(port);
        return false;
    }
    if (n == 0) return false;
    port.lastByte = Clock::now();
    for (size_t i = 0; i < n; ++i) ReceiveByte(link, buffer[i]);
    return true;
}

// A poll that fails other than by a signal would fail again at once: the
// device is given up as lost (requests then end by their timeouts) and the
// next attempt waits a tick, so the thread never spins.
void PollFailed(Link* link, SerialPort& port) {
    {
        std::lock_guard<std::recursive_mutex> guard(link->lock);
        MarkLost(port);
    }
    timespec tick{0, 10000000};
    nanosleep(&tick, nullptr);
}

Nanoseconds Earliest(Nanoseconds a, Nanoseconds b) {
    if (a < Nanoseconds(0)) return b;
    if (b < Nanoseconds(0)) return a;
    return std::min(a, b);
}

}  // namespace

void WakeReaderThread(Link* link) {
    uint64_t one = 1;
    // A failed wake-up cannot happen short of a counter overflow, and would be
    // harmless: the reader looks at the transmitter after every wake-up.
    ssize_t written = link->stopEvent >= 0 ? write(link->stopEvent, &one, sizeof one) : 0;
    (void)written;
}

bool DriveLineOnce(Link* link, SerialPort& port, Nanoseconds most) {
    Nanoseconds timeout;
    bool wantOutput;
    {
        std::lock_guard<std::recursive_mutex> guard(link->lock);
        if (port.reopenWanted) ReopenLostDevice(link, port);
        ApplyPendingSettings(port);
        timeout = ContinueWrite(link, port);
        wantOutput = timeout == Nanoseconds(0);
        const LinkBackend* backend = link->backend;
        timeout = Earliest(wantOutput ? kNoTimeout : timeout, PauseTimeout(link, port, backend));
    }
    timeout = Earliest(timeout, most);
    pollfd fds[2] = {
        {port.lost ? -1 : port.device.fd, short(POLLIN | (wantOutput ? POLLOUT : 0)), 0},
        {link->stopEvent, POLLIN, 0}};
    timespec wait{};
    if (timeout >= Nanoseconds(0)) {
        wait.tv_sec = timeout.count() / 1000000000;
        wait.tv_nsec = timeout.count() % 1000000000;
    }
    int ready = ppoll(fds, 2, timeout >= Nanoseconds(0) ? &wait : nullptr, nullptr);
    if (ready < 0) {
        if (errno != EINTR) PollFailed(link, port);
        return false;
    }
    if (fds[1].revents & POLLIN) {
        uint64_t count;
        if (read(link->stopEvent, &count, sizeof count) < 0) return false;
    }
    if (fds[0].revents & POLLIN) return ReadBytes(link, port);
    if (SerialPollLost(fds[0].revents)) {
        std::lock_guard<std::recursive_mutex> guard(link->lock);
        MarkLost(port);
    }
    return false;
}

void RunReaderThread(Link* link) {
    SerialPort& port = *link->port;
    while (!port.stop) DriveLineOnce(link, port, kNoTimeout);
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    CloseSerialDevice(&port.device);
}
