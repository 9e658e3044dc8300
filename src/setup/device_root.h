// Where the serial ports are looked for: /sys/class/tty lists them and /dev
// holds their devices. A testing option moves both under one directory, the
// device root, so whole-program tests can offer pty pairs as ports without
// root. A port list carries the root it was read under; the tools keep theirs
// with their link settings.
#pragma once
#include <string>

// root "" means the real system (/dev and /sys); trailing slashes are dropped.
std::string DeviceRootOf(const std::string& root);
std::string DeviceDirectory(const std::string& root);  // ".../dev"
std::string SysDirectory(const std::string& root);     // ".../sys"
// The device of a serial port: a bare name ("ttyUSB0") is looked for under
// DeviceDirectory(root) only, never in the real /dev when a root is set, and
// so is a path under /dev ("/dev/serial/by-id/..."); any other path stands as
// given.
std::string DevicePathOf(const std::string& root, const std::string& portName);
