// UUCP lock files: the holder's pid in ten columns and a newline.
#include "link/uucp_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

pid_t ReadLockPid(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    char text[32] = {};
    ssize_t n = read(fd, text, sizeof text - 1);
    close(fd);
    if (n <= 0) return 0;
    return static_cast<pid_t>(strtol(text, nullptr, 10));
}

bool ProcessAlive(pid_t pid) { return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM); }

// The lock files this process holds, in fixed slots a signal handler can read
// without allocating or locking: a slot is claimed, its path written, and only
// then marked as held.
struct HeldLock {
    std::atomic<bool> claimed{false};
    std::atomic<bool> held{false};
    char path[512];
};
// As many as the links one process may hold at once (kova-config backs up
// many modules in parallel, each over its own port).
HeldLock gHeld[64];

void RememberHeld(const std::string& lockPath) {
    if (lockPath.size() >= sizeof gHeld[0].path) return;
    for (auto& slot : gHeld) {
        bool expected = false;
        if (!slot.claimed.compare_exchange_strong(expected, true)) continue;
        std::snprintf(slot.path, sizeof slot.path, "%s", lockPath.c_str());
        slot.held.store(true);
        return;
    }
}

void ForgetHeld(const std::string& lockPath) {
    for (auto& slot : gHeld) {
        if (!slot.held.load() || lockPath != slot.path) continue;
        slot.held.store(false);
        slot.claimed.store(false);
    }
}

}  // namespace

std::string UucpLockPath(const std::string& device, const std::string& lockDir) {
    // Named after the device itself, however it was reached: a by-id link
    // and the kernel name must give one lock, or two tools open one port.
    std::string resolved = device;
    if (char* real = realpath(device.c_str(), nullptr)) {
        resolved = real;
        std::free(real);
    }
    std::string name = resolved.rfind("/dev/", 0) == 0 ? resolved.substr(5) : resolved;
    for (char& c : name)
        if (c == '/') c = '_';
    return lockDir + "/LCK.." + name;
}

pid_t UucpLockHolder(const std::string& lockPath) {
    pid_t pid = ReadLockPid(lockPath);
    return ProcessAlive(pid) ? pid : 0;
}

UucpLockResult AcquireUucpLock(const std::string& lockPath, pid_t* holder) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = open(lockPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            char text[16];
            int n = snprintf(text, sizeof text, "%10d\n", int(getpid()));
            bool written = write(fd, text, n) == n;
            close(fd);
            if (!written) {
                unlink(lockPath.c_str());
                return UucpLockResult::Skipped;
            }
            RememberHeld(lockPath);
            return UucpLockResult::Taken;
        }
        if (errno != EEXIST) return UucpLockResult::Skipped;
        pid_t pid = UucpLockHolder(lockPath);
        if (pid) {
            if (holder) *holder = pid;
            return UucpLockResult::Busy;
        }
        if (unlink(lockPath.c_str()) != 0)
            return UucpLockResult::Skipped;  // stale, but not ours to remove
    }
    return UucpLockResult::Skipped;
}

void ReleaseUucpLock(const std::string& lockPath) {
    ForgetHeld(lockPath);
    if (!lockPath.empty() && ReadLockPid(lockPath) == getpid()) unlink(lockPath.c_str());
}

void RemoveHeldUucpLocks() {
    for (auto& slot : gHeld)
        if (slot.held.load()) unlink(slot.path);
}
