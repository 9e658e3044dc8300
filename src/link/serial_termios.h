// The Linux calls that set a serial line: termios2 with BOTHER so that any
// rate opens exactly, modem lines, the kernel's RS-485 mode and the output
// queue. Kept apart because <asm/termbits.h> clashes with <termios.h>.
#pragma once
#include <cerrno>
#include <cstdint>
#include <string>

#include "link/serial_settings.h"

// The mode words of termios2 as plain integers, so the encoding can be
// checked without a device (a pty ignores parity and data bits).
struct TermiosFlags {
    uint32_t iflag, oflag, cflag, lflag, ispeed, ospeed;
};
// Sets the flags for the settings; the other bits are kept.
void EncodeLineSettings(TermiosFlags* flags, const LineSettings& settings);
LineSettings DecodeLineSettings(const TermiosFlags& flags);

bool IsTerminal(int fd);
// False with errno set when the line cannot be set, kRateRefused when the
// driver took the settings but not the rate (it runs at another one).
bool ApplyLineSettings(int fd, const LineSettings& settings);
constexpr int kRateRefused = ERANGE;
// Whether a port running at actual baud runs at the rate asked for: within
// the 2 % a UART's receiver tolerates, as the kernel itself rounds.
bool RateTaken(unsigned asked, unsigned actual);
// What a failure of ApplyLineSettings means, for a user.
std::string LineSettingsFailure(int error, unsigned baud);
// The rate and framing the port is set to now (tests read it back).
bool ReadLineSettings(int fd, LineSettings* settings);

// Modem-line calls fail on a pty or a driver without the lines: false then,
// which callers take as "not supported", not as an error.
bool SetModemLine(int fd, bool rts, bool on);  // rts false: DTR
// Asks the driver to raise RTS while it sends; false where it offers no RS-485 mode.
bool EnableRs485(int fd);
// Bytes still waiting in the driver's output queue, 0 if it cannot tell.
int OutputQueued(int fd);
// TIOCEXCL; it outlives our descriptor while anyone else keeps the device open.
void SetExclusive(int fd, bool on);
