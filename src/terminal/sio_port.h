// The terminal's own small serial layer: a port opened through the link
// layer's exclusive device opening, set by _setuart, read and written with
// timeouts. Results are the layer's status codes; a failed open keeps the
// reason a user can act on (busy, and held by whom; no permission; not found).
#pragma once
#include <cstdint>
#include <string>

#include "link/serial_device.h"

namespace nt_sio {

// Status codes.
constexpr long SioOk = 0;
constexpr long SioNoMemory = 7;
constexpr long SioShort = 128;          // fewer bytes moved than asked: the time ran out
constexpr long SioInvalidHandle = 132;  // no open port, or it could not be closed
constexpr long SioNotFound = 133;
constexpr long SioEndOfFile = 140;  // the device went away
constexpr long SioAccessDenied = 142;
constexpr long SioSystemError = 147;

// Access bits of SioOpen.
constexpr int SioAccessRead = 1;
constexpr int SioAccessWrite = 2;

struct SioPort {
    SerialDevice device;
    uint64_t offset = 0;  // bytes moved so far, both ways
    std::string reason;   // why the last open or _setuart failed
};

// Timeouts of SioRead and SioWrite: -1 none, 0 about 1 ms, n n x 10 ms.
constexpr int SioNoTimeout = -1;

long SioOpen(const std::string& portName, int access, SioPort* port);
// Parity 0 none, 1 even, 2 odd, 5 space, 6 mark; other codes keep the parity.
// Stop bits 2 gives two, anything else one. Options bit 0: XON/XOFF both
// ways; bit 1: CTS output flow with RTS handshake, else RTS held on. DTR on.
// 0 on success; otherwise the system error, with port->reason saying which
// step failed in the layer's words.
long _setuart(SioPort* port, long baud, int dataBits, int stopBits, int parity, int options);
long SioRead(SioPort* port, int timeout, uint8_t* buffer, int count, int* got);
long SioWrite(SioPort* port, int timeout, const uint8_t* buffer, int count, int* put);
// What has arrived, up to count bytes, without waiting: SioOk also when
// nothing has (then *got is 0).
long SioReadAvailable(SioPort* port, uint8_t* buffer, int count, int* got);
long SioClose(SioPort* port);
bool SioIsOpen(const SioPort& port);
int SioDescriptor(const SioPort& port);  // for poll(); -1 when closed

constexpr int SetuartXonXoff = 1;
constexpr int SetuartCtsRts = 2;

}  // namespace nt_sio
