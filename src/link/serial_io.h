// Reading and writing a serial device's descriptor (non-blocking, VMIN and
// VTIME 0). What an interrupted call, a full queue and a vanished device mean
// is decided here once, for the link's reader thread and the terminal.
#pragma once
#include <cstddef>
#include <cstdint>

enum class SerialIo {
    Done,     // bytes moved (all that were asked, for the timed calls)
    Again,    // nothing moved now: interrupted, or the queue is empty or full
    Timeout,  // the time ran out first
    Lost,     // the device went away (hung up, unplugged) or failed for good
};

// One read after poll() reported the device readable. A readable device that
// gives nothing has hung up, so 0 bytes there is Lost.
SerialIo ReadSerialReady(int fd, uint8_t* buffer, size_t size, size_t* got);
// One write that does not wait; Again when the output queue is full. A
// socket (a device server's line) is written without SIGPIPE.
SerialIo WriteSerialOnce(int fd, const uint8_t* buffer, size_t size, size_t* put,
                         bool socket = false);
// True when poll()'s answer means the device is gone, not that it has data.
bool SerialPollLost(short revents);

// Moves count bytes within timeoutMs (negative: no limit; 0: only what is
// there now). *moved counts what moved even when the result is not Done.
SerialIo ReadSerialTimed(int fd, uint8_t* buffer, size_t count, int timeoutMs, size_t* moved);
SerialIo WriteSerialTimed(int fd, const uint8_t* buffer, size_t count, int timeoutMs,
                          size_t* moved);
