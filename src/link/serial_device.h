// Opening a serial device exclusively, with reasons a user can act on when
// it cannot be opened.
#pragma once
#include <string>

struct SerialDevice {
    int fd = -1;
    std::string path;
    std::string lockPath;  // empty when no UUCP lock was taken
    // A line behind a serial device server, reached by TCP ("tcp:HOST:PORT"):
    // a socket, with no line settings or modem lines of its own here and
    // nothing to lock on this computer.
    bool network = false;
};

// A name without a slash is taken under /dev (ttyUSB0, ttyS0, ttyACM0); a
// network port's name stays as it is.
std::string SerialDevicePath(const std::string& portName);

// Opens read-write, non-blocking, without becoming the controlling terminal,
// close-on-exec; then TIOCEXCL, flock and the UUCP lock. A network port is
// connected instead (within the connect timeout), and the reason of a
// failure is the connect's ("Connect: Connection refused"). False with *reason set
// and *error the errno that says what kind of failure it was (EBUSY for a port
// another program holds, ENOTTY for a device that is not a serial port).
bool OpenSerialDevice(const std::string& portName, SerialDevice* device, std::string* reason,
                      int* error = nullptr);
// Unsent output is discarded unless keepOutput: close() waits for it to drain,
// which a line held back by CTS or XOFF never does.
void CloseSerialDevice(SerialDevice* device, bool keepOutput = false);

// Gives back every port this process holds open as a process that closed it
// would: TIOCEXCL cleared and the UUCP lock files removed (the flock goes
// with the process). Safe in a signal handler. TIOCEXCL outlives us while
// anyone else keeps the device open (the far side of a pty, a ser2net), and
// would turn every later open away as busy. Run at exit too.
void ReleaseHeldSerialPorts();
