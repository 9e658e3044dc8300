// Child processes for tests.
#include "common/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "common/wait_until.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

pid_t Spawn(const std::vector<std::string>& argv, int* out, int* err) {
    int outPipe[2], errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) || pipe2(errPipe, O_CLOEXEC)) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    *out = outPipe[0];
    if (err)
        *err = errPipe[0];
    else
        close(errPipe[0]);
    return pid;
}

// Waits for the child until the deadline; true with *status when it ended.
bool WaitExit(pid_t pid, Clock::time_point end, int* status) {
    for (;;) {
        pid_t done = waitpid(pid, status, WNOHANG);
        if (done == pid) return true;
        if (done < 0 || Clock::now() >= end) return false;
        // No child-exit descriptor to wait on: poll waitpid at a short interval.
        poll(nullptr, 0, 5);
    }
}

}  // namespace

RunResult RunProgram(const std::vector<std::string>& argv, Millis deadline) {
    RunResult result;
    int out, err;
    pid_t pid = Spawn(argv, &out, &err);
    if (pid < 0) return result;
    auto end = Clock::now() + deadline;
    pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
    int open = 2;
    while (open && Clock::now() < end) {
        if (poll(fds, 2, 50) <= 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (!fds[i].revents) continue;
            char buffer[4096];
            ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n <= 0) {
                fds[i].fd = -1;
                --open;
            } else {
                (i ? result.err : result.out).append(buffer, size_t(n));
            }
        }
    }
    close(out);
    close(err);
    int status = 0;
    if (!WaitExit(pid, end, &status)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return result;
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
    pid_ = Spawn(argv, &out_, nullptr);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status;
        if (!WaitExit(pid_, Clock::now() + Millis(5000), &status)) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
    }
    if (out_ >= 0) close(out_);
}

int ChildProcess::WaitForExit(Millis deadline) {
    int status = 0;
    if (pid_ <= 0 || !WaitExit(pid_, Clock::now() + deadline, &status)) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int ChildProcess::WaitForShellStatus(Millis deadline) {
    int status = 0;
    if (pid_ <= 0 || !WaitExit(pid_, Clock::now() + deadline, &status)) return -1;
    pid_ = -1;
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ChildProcess::ReadLine(Millis deadline) {
    auto end = Clock::now() + deadline;
    for (;;) {
        size_t newline = buffered_.find('\n');
        if (newline != std::string::npos) {
            std::string line = buffered_.substr(0, newline);
            buffered_.erase(0, newline + 1);
            return line;
        }
        auto left = std::chrono::duration_cast<Millis>(end - Clock::now()).count();
        pollfd p{out_, POLLIN, 0};
        if (left <= 0 || poll(&p, 1, int(left)) <= 0) return "";
        char buffer[512];
        ssize_t n = read(out_, buffer, sizeof buffer);
        if (n <= 0) return "";
        buffered_.append(buffer, size_t(n));
    }
}

std::string BuildProgram(const std::string& name) {
    const char* dir = getenv("KOVA_BUILD_DIR");
    return std::string(dir ? dir : KOVA_DEFAULT_BUILD_DIR) + "/" + name;
}

std::string SourcePath(const std::string& relative) {
    const char* dir = getenv("KOVA_SOURCE_DIR");
    return std::string(dir ? dir : KOVA_DEFAULT_SOURCE_DIR) + "/" + relative;
}

bool HaveProgram(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

bool WaitForPath(const std::string& path, Millis deadline) {
    struct stat st;
    return WaitUntil([&] { return stat(path.c_str(), &st) == 0; }, deadline, Millis(5));
}
