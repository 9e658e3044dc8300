// /proc/locks names the inode of a flock as major:minor:inode of the file
// system the node lives on (in hex for the device numbers). A process's fd
// entries stat to the device itself, so st_rdev compares them with the port
// whatever name they opened it by.
#include "link/port_holder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

pid_t FlockHolder(const struct stat& node) {
    std::FILE* locks = std::fopen("/proc/locks", "re");
    if (!locks) return 0;
    char line[256];
    pid_t found = 0;
    while (!found && std::fgets(line, sizeof line, locks)) {
        char kind[16] = {};
        long pid = 0;
        unsigned major = 0, minor = 0;
        unsigned long inode = 0;
        // "1: FLOCK  ADVISORY  WRITE 1234 00:05:3 0 EOF"
        if (std::sscanf(line, "%*d: %15s %*s %*s %ld %x:%x:%lu", kind, &pid, &major, &minor,
                        &inode) != 5)
            continue;
        if (std::strcmp(kind, "FLOCK") == 0 && pid > 0 && pid != getpid() &&
            major == major(node.st_dev) && minor == minor(node.st_dev) && inode == node.st_ino)
            found = pid_t(pid);
    }
    std::fclose(locks);
    return found;
}

// Whether the process has the device open; *hidden when its fds cannot be read.
bool HasOpen(const char* pidText, dev_t device, bool* hidden) {
    std::string dir = std::string("/proc/") + pidText + "/fd";
    DIR* fds = opendir(dir.c_str());
    if (!fds) {
        if (errno == EACCES) *hidden = true;
        return false;
    }
    bool open = false;
    while (dirent* e = readdir(fds)) {
        if (e->d_name[0] == '.') continue;
        struct stat st;
        if (stat((dir + "/" + e->d_name).c_str(), &st) == 0 && S_ISCHR(st.st_mode) &&
            st.st_rdev == device) {
            open = true;
            break;
        }
    }
    closedir(fds);
    return open;
}

PortHolder OpenHolder(dev_t device) {
    PortHolder holder;
    DIR* proc = opendir("/proc");
    if (!proc) return holder;
    while (dirent* e = readdir(proc)) {
        char* end = nullptr;
        long pid = std::strtol(e->d_name, &end, 10);
        if (pid <= 0 || *end != '\0' || pid == getpid()) continue;
        if (HasOpen(e->d_name, device, &holder.hidden)) {
            holder.pid = pid_t(pid);
            break;
        }
    }
    closedir(proc);
    return holder;
}

}  // namespace

PortHolder FindPortHolder(const std::string& devicePath) {
    struct stat node;
    if (stat(devicePath.c_str(), &node) != 0) return {};
    if (pid_t pid = FlockHolder(node)) return {pid, false};
    if (!S_ISCHR(node.st_mode)) return {};
    return OpenHolder(node.st_rdev);
}
