// The transport of a serial link: the device and what is needed to drive
// it. One thread touches the descriptor: the link's reader thread, or on a
// line driven by the requester, the thread of the request under way.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <optional>

#include "link/serial_device.h"
#include "link/serial_settings.h"

struct Link;

struct SerialPort {
    using Clock = std::chrono::steady_clock;

    SerialDevice device;
    std::atomic<bool> stop{false};
    // No reader thread: the thread that waits for a reply drives the line
    // itself, which spares a request two thread hand-offs (a device
    // server's socket, for the kinds that answer the line only when asked).
    bool drivenByRequester = false;
    bool lost = false;  // the device went away (a USB adapter unplugged)
    // Set by a request that finds the device lost: the reader opens it again
    // by its name and clears the flag (lost stays set when that fails).
    bool reopenWanted = false;
    std::string reopenFailure;  // why the last reopen failed, in a user's words

    // Line settings, guarded by the link's lock; the reader applies pending ones.
    LineSettings settings;
    std::optional<LineSettings> pendingSettings;
    std::condition_variable_any settingsApplied;
    int settingsError = 0;  // errno of the last settings the reader applied, 0 when they took
    unsigned readIntervalMs = 20;

    // RTS handling: on while open (Sy/Max) or raised only while sending.
    bool rtsWhileSending = false;
    bool rs485 = false;           // the kernel raises RTS itself
    bool modemLinesWork = false;  // false on a pty
    // A write counts as done only after its wire time (the Sy/Max fill bytes
    // and inquiries must last as long as the line takes to carry them).
    bool paceWrites = false;

    int written = 0;  // bytes of the transmit buffer handed to the driver
    Clock::time_point wireDone{};
    Clock::time_point lastByte{};
};

void RunReaderThread(Link* link);
// One round of driving the line: what is due (reopen, settings, writes, the
// end of a frame by a pause), then a wait of at most `most` (negative: as
// long as nothing happens) for bytes, which go to the protocol. True when
// bytes came. Takes the link's lock itself; call it with the lock free or
// held once by this thread.
bool DriveLineOnce(Link* link, SerialPort& port, std::chrono::nanoseconds most);
// The reader's side of ReopenSerialPort: the same device path, the same line
// settings and modem lines as at open. Called with the link locked.
void ReopenLostDevice(Link* link, SerialPort& port);
void WakeReaderThread(Link* link);
