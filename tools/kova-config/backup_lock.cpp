// The holder is found in the kernel's table of locks, /proc/locks, by the
// folder's device and inode.
#include "backup_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "common/printable.h"

namespace {

// "pid 4242", or "another run" where the table does not say.
std::string Holder(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return "another run";
    char id[64];
    std::snprintf(id, sizeof id, "%02x:%02x:%llu", major(st.st_dev), minor(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream words(line);
        std::string number, type, mode, access, pid, file;
        words >> number >> type >> mode >> access >> pid >> file;
        if (type == "FLOCK" && file == id) return "pid " + pid;
    }
    return "another run";
}

bool Fail(const std::string& dir, std::string* error) {
    *error = "cannot lock the folder " + dir + " (" + std::strerror(errno) + ")";
    return false;
}

}  // namespace

BackupFolderLock::~BackupFolderLock() {
    if (fd_ >= 0) ::close(fd_);
}

bool BackupFolderLock::Take(const std::string& dir,
                            const std::function<void(const std::string&)>& waiting,
                            std::string* error) {
    fd_ = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return Fail(dir, error);
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
    // A file system without locks (some FUSE and old network ones) must not
    // stop every backup into it: the run goes on unguarded, and says so.
    if (errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL) {
        std::fprintf(stderr,
                     "kova-config: %s cannot be locked (%s); a second backup into it "
                     "at once is not kept out\n",
                     tools::Printable(dir).c_str(), std::strerror(errno));
        return true;
    }
    if (errno != EWOULDBLOCK) return Fail(dir, error);
    waiting(Holder(fd_));
    while (::flock(fd_, LOCK_EX) != 0)
        if (errno != EINTR) return Fail(dir, error);
    return true;
}
