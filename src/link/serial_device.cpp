// Exclusive open of a serial device. TIOCEXCL keeps out other opens (not
// root's), flock keeps out tools that use it, and the UUCP lock file keeps
// out those that honour only that; each tool honours one or the other.
#include "link/serial_device.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "link/network_device.h"
#include "link/network_port_name.h"
#include "link/port_holder.h"
#include "link/serial_termios.h"
#include "link/uucp_lock.h"

namespace {

// The descriptors of the open ports, as fd + 1 (0: a free slot), in slots a
// signal handler may read without locking or allocating. As many as the
// links and terminals one process may hold at once.
std::atomic<int> gHeldPorts[64];

void ReleaseAtExit() { ReleaseHeldSerialPorts(); }

void RememberHeldPort(int fd) {
    static std::atomic<bool> atExitSet{false};
    if (!atExitSet.exchange(true)) std::atexit(ReleaseAtExit);
    for (auto& slot : gHeldPorts) {
        int empty = 0;
        if (slot.compare_exchange_strong(empty, fd + 1)) return;
    }
}

void ForgetHeldPort(int fd) {
    for (auto& slot : gHeldPorts) {
        int held = fd + 1;
        slot.compare_exchange_strong(held, 0);
    }
}

std::string ProcessName(pid_t pid) {
    std::string path = "/proc/" + std::to_string(pid) + "/comm";
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    char name[64] = {};
    ssize_t n = read(fd, name, sizeof name - 1);
    close(fd);
    std::string text(name, n > 0 ? size_t(n) : 0);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

std::string GroupOf(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return "dialout";
    char buffer[1024];
    group entry, *found = nullptr;
    if (getgrgid_r(st.st_gid, &entry, buffer, sizeof buffer, &found) != 0 || !found)
        return std::to_string(st.st_gid);
    return found->gr_name;
}

std::string BusyText(const std::string& path, pid_t holder) {
    std::string text = "Port " + path + " is busy";
    if (!holder) holder = UucpLockHolder(UucpLockPath(path));
    PortHolder found;
    if (!holder) found = FindPortHolder(path);
    if (!holder) holder = found.pid;
    if (!holder && found.hidden)
        return text +
               ": another program is using it (which one cannot be found: it may "
               "belong to another user)";
    if (!holder) return text + ": another program is using it";
    std::string name = ProcessName(holder);
    return text + ": held by process " + std::to_string(holder) +
           (name.empty() ? "" : " (" + name + ")");
}

std::string OpenFailureText(const std::string& path, int error) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return "Port " + path + " not found";
        case EACCES:
        case EPERM:
            return "Permission denied on " + path + ": join group " + GroupOf(path) +
                   " (usermod -aG " + GroupOf(path) + " $USER) and log in again";
        case EBUSY:
            return BusyText(path, 0);
        default:
            return "Cannot open " + path + ": " + strerror(error);
    }
}

bool Fail(SerialDevice* device, std::string* reason, std::string text, int* error, int code) {
    if (reason) *reason = std::move(text);
    if (error) *error = code;
    CloseSerialDevice(device);
    return false;
}

}  // namespace

std::string SerialDevicePath(const std::string& portName) {
    if (portName.find('/') != std::string::npos || IsNetworkPortName(portName)) return portName;
    return "/dev/" + portName;
}

bool OpenSerialDevice(const std::string& portName, SerialDevice* device, std::string* reason,
                      int* error) {
    device->path = SerialDevicePath(portName);
    if (IsNetworkPortName(portName)) {
        std::string text;
        int code = 0;
        if (ConnectNetworkDevice(portName, device, &text, &code)) return true;
        return Fail(device, reason, text, error, code);
    }
    device->fd = open(device->path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (device->fd < 0) {
        int code = errno;
        return Fail(device, reason, OpenFailureText(device->path, code), error, code);
    }
    if (!IsTerminal(device->fd))
        return Fail(device, reason, device->path + " is not a serial port", error, ENOTTY);
    if (flock(device->fd, LOCK_EX | LOCK_NB) != 0)
        return Fail(device, reason, BusyText(device->path, 0), error, EBUSY);
    std::string lockPath = UucpLockPath(device->path);
    pid_t holder = 0;
    switch (AcquireUucpLock(lockPath, &holder)) {
        case UucpLockResult::Busy:
            return Fail(device, reason, BusyText(device->path, holder), error, EBUSY);
        case UucpLockResult::Taken:
            device->lockPath = lockPath;
            break;
        case UucpLockResult::Skipped:
            break;
    }
    SetExclusive(device->fd, true);
    RememberHeldPort(device->fd);
    return true;
}

void CloseSerialDevice(SerialDevice* device, bool keepOutput) {
    if (device->network) {
        CloseNetworkDevice(device);
        return;
    }
    if (device->fd >= 0) {
        // Unsent output would hold close() for up to 30 s (a port whose CTS
        // is low never drains); a closing link has nothing left to say.
        if (!keepOutput) tcflush(device->fd, TCOFLUSH);
        // Cleared before the slot is given up, so that a signal in between
        // finds the port either still listed or already released.
        SetExclusive(device->fd, false);
        ForgetHeldPort(device->fd);
        close(device->fd);  // also drops the flock
    }
    device->fd = -1;
    ReleaseUucpLock(device->lockPath);
    device->lockPath.clear();
}

void ReleaseHeldSerialPorts() {
    for (auto& slot : gHeldPorts)
        if (int held = slot.load(); held > 0) SetExclusive(held - 1, false);
    RemoveHeldUucpLocks();
}
