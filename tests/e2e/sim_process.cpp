#include "sim_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "tmux_session.h"

namespace {

// The first line the child prints, within the deadline.
std::string ReadFirstLine(int fd, int timeoutMs) {
    std::string line;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (line.find('\n') == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        pollfd p{fd, POLLIN, 0};
        if (left <= 0 || poll(&p, 1, int(left)) <= 0) break;
        char c;
        if (read(fd, &c, 1) != 1) break;
        line += c;
    }
    if (!line.empty() && line.back() == '\n') line.pop_back();
    return line;
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& options) {
    const bool tcp = std::find(options.begin(), options.end(), "--tcp") != options.end();
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe");
    std::string program = BuildDir() + "/kova-sim";
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& o : options) argv.push_back(const_cast<char*>(o.c_str()));
        if (!tcp) argv.push_back(const_cast<char*>("--pty"));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    if (tcp) {
        // "listening", then the port.
        const std::string first = ReadFirstLine(out[0], 5000);
        tcpPort_ = first == "listening" ? std::atoi(ReadFirstLine(out[0], 5000).c_str()) : 0;
        close(out[0]);
        if (tcpPort_ <= 0) throw std::runtime_error("kova-sim did not listen: " + first);
        return;
    }
    slave_ = ReadFirstLine(out[0], 5000);
    close(out[0]);
    if (slave_.rfind("/dev/", 0) != 0) throw std::runtime_error("kova-sim gave no pty: " + slave_);
}

SimProcess::~SimProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status;
    waitpid(pid_, &status, 0);
}

DeviceRoot::DeviceRoot() {
    char pattern[] = "/tmp/kova-root-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp");
    root_ = pattern;
    std::filesystem::create_directories(root_ + "/sys/class/tty");
    std::filesystem::create_directories(root_ + "/dev");
}

DeviceRoot::~DeviceRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

void DeviceRoot::Add(const std::string& name, const std::string& target) {
    std::filesystem::create_directories(root_ + "/sys/class/tty/" + name + "/device");
    std::filesystem::create_symlink(target, root_ + "/dev/" + name);
}
