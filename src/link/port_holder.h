// Finding which process holds a serial device that refused to open: the
// flock holder from /proc/locks, else any process with the device open (a
// TIOCEXCL holder) from /proc/*/fd.
#pragma once
#include <sys/types.h>

#include <string>

struct PortHolder {
    pid_t pid = 0;        // 0 when none was found
    bool hidden = false;  // some processes could not be looked into (another user's)
};

// This process's own descriptors are passed over.
PortHolder FindPortHolder(const std::string& devicePath);
