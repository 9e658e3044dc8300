// Where the serial ports are looked for: /sys/class/tty lists them and /dev
// holds their devices. A testing option moves both under one directory, so
// whole-program tests can offer pty pairs as ports without root.
#pragma once
#include <string>

// "" means the real system (/dev and /sys).
void SetDeviceRoot(const std::string& root);
std::string DeviceDirectory();  // ".../dev"
std::string SysDirectory();     // ".../sys"
// The device of a serial port: a bare name ("ttyUSB0") is looked for under
// DeviceDirectory() only, never in the real /dev when a root is set, and so
// is a path under /dev ("/dev/serial/by-id/..."); any other path stands as
// given.
std::string DevicePathOf(const std::string& portName);
