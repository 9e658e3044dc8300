// UUCP lock files (LCK..ttyUSB0 under /run/lock), which minicom, picocom and
// other serial tools honour instead of flock or TIOCEXCL.
#pragma once
#include <sys/types.h>

#include <string>

// The lock file's path for a device path, named as lockdev, minicom and the
// UUCP tools name it: after the device the path leads to (through any
// symbolic links, /dev/serial/by-id/... included), without /dev/ and with
// further slashes as underscores: /run/lock/LCK..ttyUSB0, LCK..pts_3.
std::string UucpLockPath(const std::string& device, const std::string& lockDir = "/run/lock");

enum class UucpLockResult { Taken, Skipped, Busy };

// Creates the lock for this process; a stale lock whose process is gone is
// taken over. Skipped where the folder is missing or not writable. On Busy,
// *holder names the process that holds it.
UucpLockResult AcquireUucpLock(const std::string& lockPath, pid_t* holder);
void ReleaseUucpLock(const std::string& lockPath);
// The live process a lock file names, or 0.
pid_t UucpLockHolder(const std::string& lockPath);
// Removes every lock file this process holds. Safe in a signal handler, so
// that a program ended by a signal leaves no stale locks behind.
void RemoveHeldUucpLocks();
