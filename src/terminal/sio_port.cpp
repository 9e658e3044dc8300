// The terminal's serial layer on the link layer's device opening, line
// settings and timed transfers.
#include "terminal/sio_port.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include "link/serial_io.h"
#include "link/serial_termios.h"

namespace nt_sio {
namespace {

constexpr auto kDrainLimit = std::chrono::seconds(2);

long OpenStatus(int error) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case ENOTDIR:
            return SioNotFound;
        case EACCES:
        case EPERM:
            return SioAccessDenied;
        case ENOMEM:
            return SioNoMemory;
        default:
            return SioSystemError;
    }
}

int TimeoutMs(int timeout) {
    if (timeout < 0) return -1;
    return timeout == 0 ? 1 : timeout * 10;
}

long TransferStatus(SerialIo result) {
    switch (result) {
        case SerialIo::Done:
            return SioOk;
        case SerialIo::Lost:
            return SioEndOfFile;
        default:
            return SioShort;
    }
}

long Fail(SioPort* port, const char* call) {
    long error = errno;
    char text[96];
    std::snprintf(text, sizeof text, "%s (in _setuart (in nt_sio)) returned failure: %ld", call,
                  error);
    port->reason = text;
    return error ? error : SioSystemError;
}

int ParityOf(int code, int current) {
    switch (code) {
        case 0:
            return ParityNone;
        case 1:
            return ParityEven;
        case 2:
            return ParityOdd;
        case 5:
            return ParitySpace;
        case 6:
            return ParityMark;
        default:
            return current;
    }
}

}  // namespace

bool SioIsOpen(const SioPort& port) { return port.device.fd >= 0; }
int SioDescriptor(const SioPort& port) { return port.device.fd; }

long SioOpen(const std::string& portName, int access, SioPort* port) {
    port->offset = 0;
    port->reason.clear();
    if (!(access & (SioAccessRead | SioAccessWrite))) return SioAccessDenied;
    int error = 0;
    if (!OpenSerialDevice(portName, &port->device, &port->reason, &error)) return OpenStatus(error);
    return SioOk;
}

long _setuart(SioPort* port, long baud, int dataBits, int stopBits, int parity, int options) {
    LineSettings s;
    errno = 0;
    if (!SioIsOpen(*port) || !ReadLineSettings(port->device.fd, &s))
        return Fail(port, "GetCommState");
    if (baud > 0) s.baud = unsigned(baud);
    s.dataBits = dataBits;
    s.stopBits = stopBits == 2 ? 2 : 1;
    s.parity = ParityOf(parity, s.parity);
    s.xonXoff = options & SetuartXonXoff;
    s.ctsFlow = options & SetuartCtsRts;
    errno = 0;
    if (!ApplyLineSettings(port->device.fd, s)) return Fail(port, "SetCommState");
    // A port without modem lines (a pty, some adapters) simply has none to set.
    SetModemLine(port->device.fd, false, true);
    if (!s.ctsFlow) SetModemLine(port->device.fd, true, true);
    return 0;
}

long SioRead(SioPort* port, int timeout, uint8_t* buffer, int count, int* got) {
    *got = 0;
    if (!SioIsOpen(*port)) return SioInvalidHandle;
    if (count <= 0) return SioOk;
    size_t moved = 0;
    SerialIo r =
        ReadSerialTimed(port->device.fd, buffer, size_t(count), TimeoutMs(timeout), &moved);
    *got = int(moved);
    port->offset += moved;
    return TransferStatus(r);
}

long SioWrite(SioPort* port, int timeout, const uint8_t* buffer, int count, int* put) {
    *put = 0;
    if (!SioIsOpen(*port)) return SioInvalidHandle;
    if (count <= 0) return SioOk;
    size_t moved = 0;
    SerialIo r =
        WriteSerialTimed(port->device.fd, buffer, size_t(count), TimeoutMs(timeout), &moved);
    *put = int(moved);
    port->offset += moved;
    return TransferStatus(r);
}

long SioReadAvailable(SioPort* port, uint8_t* buffer, int count, int* got) {
    *got = 0;
    if (!SioIsOpen(*port)) return SioInvalidHandle;
    size_t moved = 0;
    SerialIo r = ReadSerialTimed(port->device.fd, buffer, size_t(count), 0, &moved);
    // Only what was there: running out of it is no failure.
    if (r == SerialIo::Timeout) r = SerialIo::Done;
    *got = int(moved);
    port->offset += moved;
    return TransferStatus(r);
}

// What was typed last still reaches the far end: the output may drain for as
// long as a line needs for it, and is dropped only when it is held back.
long SioClose(SioPort* port) {
    if (!SioIsOpen(*port)) return SioInvalidHandle;
    auto end = std::chrono::steady_clock::now() + kDrainLimit;
    while (OutputQueued(port->device.fd) > 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    CloseSerialDevice(&port->device, OutputQueued(port->device.fd) == 0);
    return SioOk;
}

}  // namespace nt_sio
