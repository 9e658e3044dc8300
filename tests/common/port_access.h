// How the next program finds a serial device that a program of ours held:
// whether an ordinary user's open gets in, and whether the device is still
// marked exclusive (TIOCEXCL, which root's opens pass over unseen).
#pragma once
#include <string>

// True when the device opens for a user without privileges: as root the
// open runs as nobody (setpriv to uid 65534, the device opened to all users
// first); as anyone else it is this process's own open. *why says what the
// open said when it failed.
bool OpensForAnUnprivilegedUser(const std::string& device, std::string* why);
// Whether TIOCEXCL is set on the terminal open on fd (any side's descriptor).
bool MarkedExclusive(int fd);
