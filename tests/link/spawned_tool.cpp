// Peer programs for the link tests, run and stopped by pid.
#include "link/spawned_tool.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

std::string BuildPath(const std::string& name) {
    if (const char* dir = getenv("KOVA_BUILD_DIR")) return std::string(dir) + "/" + name;
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path(self, n > 0 ? size_t(n) : 0);
    for (int up = 0; up < 3; ++up) path = path.substr(0, path.rfind('/'));
    return path + "/" + name;
}

SpawnedTool::SpawnedTool(const std::string& name, const std::vector<std::string>& arguments) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) < 0) return;
    std::string path = BuildPath(name);
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        execv(path.c_str(), argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    output_ = pipeEnds[0];
}

SpawnedTool::~SpawnedTool() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0) close(output_);
}

std::string SpawnedTool::FirstLine(std::chrono::milliseconds deadline) {
    std::string line;
    auto end = std::chrono::steady_clock::now() + deadline;
    while (output_ >= 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        pollfd p{output_, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, int(left.count())) <= 0) return "";
        char c;
        if (read(output_, &c, 1) != 1) return "";
        if (c == '\n') return line;
        line += c;
    }
    return line;
}
