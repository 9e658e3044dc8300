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
#include <cstring>

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
    explicit FileOutput(int fd) : fd_(fd) {
        struct stat st;
        device_ = ::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode);
    }
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
    bool IsPrinter() const override { return device_; }

  private:
    int fd_;
    bool device_ = false;
};

// The first line of what a program said on its error output, bounded.
std::string FirstLineOf(int fd) {
    std::string said;
    char buffer[256];
    ssize_t n;
    while (said.size() < 4096 &&
           ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)))
        if (n > 0) said.append(buffer, size_t(n));
    said = said.substr(0, said.find('\n'));
    for (char& c : said)
        if (c < 0x20 || c > 0x7E) c = ' ';
    return said;
}

class SpoolerOutput : public OutputDevice {
  public:
    SpoolerOutput(int fd, int errors, pid_t pid) : fd_(fd), errors_(errors), pid_(pid) {}
    ~SpoolerOutput() override { Close(); }
    bool Write(const void* data, size_t size) override {
        return fd_ >= 0 && WriteAll(fd_, data, size);
    }
    // The spooler has its input closed, then says what it has to say and
    // ends; anything but a clean exit is a print that did not happen.
    bool Close() override {
        if (fd_ < 0) return ok_;
        ::close(fd_);
        fd_ = -1;
        const std::string said = FirstLineOf(errors_);
        ::close(errors_);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        ok_ = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (ok_) return true;
        if (!said.empty())
            reason_ = said;
        else if (WIFEXITED(status))
            reason_ = "the print spooler lp failed (exit status " +
                      std::to_string(WEXITSTATUS(status)) + ")";
        else
            reason_ = "the print spooler lp was stopped by a signal";
        return false;
    }
    std::string FailureReason() const override { return reason_; }
    bool IsPrinter() const override { return true; }

  private:
    int fd_, errors_;
    pid_t pid_;
    bool ok_ = true;
    std::string reason_;
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

std::unique_ptr<OutputDevice> OpenSpooler(std::string* reason) {
    const std::string lp = FindSpooler();
    if (lp.empty()) {
        *reason = kNoSpoolerReason;
        return nullptr;
    }
    int input[2], errors[2];
    if (::pipe2(input, O_CLOEXEC) != 0) {
        *reason = std::string("cannot start the print spooler: ") + std::strerror(errno);
        return nullptr;
    }
    if (::pipe2(errors, O_CLOEXEC) != 0) {
        *reason = std::string("cannot start the print spooler: ") + std::strerror(errno);
        ::close(input[0]);
        ::close(input[1]);
        return nullptr;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    // lp reports the job id on its output; the full screen must not get it.
    // What it says on its error output is the reason a print failed.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errors[1], 2);
    // The program ignores SIGPIPE; the spooler gets the usual behaviour back.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    char* argv[] = {const_cast<char*>("lp"), nullptr};
    pid_t pid;
    int rc = posix_spawn(&pid, lp.c_str(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(errors[1]);
    if (rc != 0) {
        *reason = "cannot start the print spooler " + lp + ": " + std::strerror(rc);
        ::close(input[1]);
        ::close(errors[0]);
        return nullptr;
    }
    return std::make_unique<SpoolerOutput>(input[1], errors[0], pid);
}

}  // namespace

bool IsPrinterName(const std::string& name) {
    for (const char* printer : {"LPT1:", "LPT1", "PRN"})
        if (::strcasecmp(name.c_str(), printer) == 0) return true;
    return false;
}

std::string OpenFailure(const std::string& name) {
    return "Can't open file \"" + name + "\" for write.";
}
std::string WriteFailure(const std::string& name) { return "Can't write file \"" + name + "\"."; }

const char kNoSpoolerReason[] = "no print spooler: install cups-client, or print to a file";

std::unique_ptr<OutputDevice> OpenOutputDevice(const std::string& name, std::string* reason) {
    std::string ignored;
    if (!reason) reason = &ignored;
    reason->clear();
    if (name.empty()) return nullptr;
    if (IsPrinterName(name)) return OpenSpooler(reason);
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        *reason = name + ": " + std::strerror(errno);
        return nullptr;
    }
    return std::make_unique<FileOutput>(fd);
}
