// Opening a device as someone else.
#include "common/port_access.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/child_process.h"

bool OpensForAnUnprivilegedUser(const std::string& device, std::string* why) {
    if (geteuid() != 0) {
        int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return *why = strerror(errno), false;
        close(fd);
        return true;
    }
    // The scratch folders on the way may be closed to nobody: the node itself.
    char* real = realpath(device.c_str(), nullptr);
    if (!real) return *why = strerror(errno), false;
    const std::string node = real;
    std::free(real);
    chmod(node.c_str(), 0666);
    RunResult r = RunProgram(
        {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "stty", "-F", node});
    if (r.status == 0) return true;
    *why = r.err.empty() ? "setpriv ended with " + std::to_string(r.status) : r.err;
    return false;
}

bool MarkedExclusive(int fd) {
    int exclusive = 0;
    return ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}
