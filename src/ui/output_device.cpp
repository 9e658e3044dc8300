// Output to a file or to the print spooler through a pipe.
#include "ui/output_device.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace {

bool WriteAll(int fd, const void* data, size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= size_t(n);
    }
    return true;
}

class FileOutput : public OutputDevice {
  public:
    explicit FileOutput(int fd) : fd_(fd) {}
    ~FileOutput() override { Close(); }
    bool Write(const void* data, size_t size) override {
        return fd_ >= 0 && WriteAll(fd_, data, size);
    }
    bool Close() override {
        if (fd_ < 0) return true;
        int r = ::close(fd_);
        fd_ = -1;
        return r == 0;
    }

  private:
    int fd_;
};

class SpoolerOutput : public OutputDevice {
  public:
    SpoolerOutput(int fd, pid_t pid) : fd_(fd), pid_(pid) {}
    ~SpoolerOutput() override { Close(); }
    bool Write(const void* data, size_t size) override {
        return fd_ >= 0 && WriteAll(fd_, data, size);
    }
    bool Close() override {
        if (fd_ < 0) return true;
        ::close(fd_);
        fd_ = -1;
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

  private:
    int fd_;
    pid_t pid_;
};

// The spooler program, looked up in PATH as the shell would, without one.
std::string FindSpooler() {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string candidate = (end > start ? dirs.substr(start, end - start) : ".") + "/lp";
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return {};
}

std::unique_ptr<OutputDevice> OpenSpooler() {
    const std::string lp = FindSpooler();
    if (lp.empty()) return nullptr;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return nullptr;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    // lp reports the job id on its output; the full screen must not get it.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>("lp"), nullptr};
    pid_t pid;
    int rc = posix_spawn(&pid, lp.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[0]);
    if (rc != 0) {
        ::close(fds[1]);
        return nullptr;
    }
    return std::make_unique<SpoolerOutput>(fds[1], pid);
}

}  // namespace

bool IsPrinterName(const std::string& name) {
    for (const char* printer : {"LPT1:", "LPT1", "PRN"})
        if (::strcasecmp(name.c_str(), printer) == 0) return true;
    return false;
}

std::unique_ptr<OutputDevice> OpenOutputDevice(const std::string& name) {
    if (name.empty()) return nullptr;
    if (IsPrinterName(name)) return OpenSpooler();
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    return std::make_unique<FileOutput>(fd);
}
