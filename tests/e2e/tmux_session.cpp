#include "tmux_session.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace {
std::atomic<int> gSessionCount{0};

using Clock = std::chrono::steady_clock;
void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
}  // namespace

std::string RunCommand(const std::vector<std::string>& argv, int* status) {
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe failed");
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(out[0], buffer, sizeof buffer)) > 0) text.append(buffer, size_t(n));
    close(out[0]);
    int st = 0;
    waitpid(pid, &st, 0);
    if (status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return text;
}

std::string BuildDir() {
    const char* dir = std::getenv("KOVA_BUILD_DIR");
    return dir ? dir : "build";
}

TmuxSession::TmuxSession(int cols, int rows) {
    char pattern[] = "/tmp/kova-e2e-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    socket_ = "kova-test-" + std::to_string(getpid()) + "-" + std::to_string(gSessionCount++);
    std::ofstream(dir_ + "/.tmux.conf") << "set -g remain-on-exit on\n"
                                        << "set -g default-size " << cols << "x" << rows << "\n"
                                        << "set -g escape-time 0\n"
                                        << "set -g status off\n";
}

TmuxSession::~TmuxSession() {
    if (started_) RunCommand({"tmux", "-L", socket_, "kill-server"});
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string TmuxSession::Tmux(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"tmux", "-L", socket_, "-f", dir_ + "/.tmux.conf"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunCommand(argv);
}

void TmuxSession::Start(const std::vector<std::string>& args, const std::string& program) {
    // A small shell waits for the program and records how it ended.
    std::vector<std::string> command{"new-session", "-d", "-s", "kova", "-c", dir_,
                                     "env", "LANG=" + locale_, "LC_ALL=" + locale_, "sh", "-c",
                                     "\"$@\"; echo $? > .exit-status", "sh",
                                     BuildDir() + "/" + program};
    command.insert(command.end(), args.begin(), args.end());
    Tmux(command);
    started_ = true;
}

void TmuxSession::StartScript(const std::string& script) {
    Tmux({"new-session", "-d", "-s", "kova", "-c", dir_, "env", "LANG=" + locale_, "LC_ALL=" + locale_,
          "KOVASW=" + BuildDir() + "/kovasw", "sh", "-c", script});
    started_ = true;
}

void TmuxSession::Type(const std::string& literal) {
    for (char c : literal) Tmux({"send-keys", "-t", "kova", "-l", std::string(1, c)});
}

void TmuxSession::SendKeys(const std::vector<std::string>& keys) {
    for (const auto& k : keys) Tmux({"send-keys", "-t", "kova", k});
}

std::vector<std::string> TmuxSession::Screen() {
    std::string text = Tmux({"capture-pane", "-p", "-t", "kova"});
    std::vector<std::string> rows;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        rows.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return rows;
}

std::string TmuxSession::Row(int row) {
    auto rows = Screen();
    return row >= 1 && row <= int(rows.size()) ? rows[row - 1] : std::string();
}

std::string TmuxSession::ScreenText() {
    std::string all;
    for (const auto& r : Screen()) all += r + "\n";
    return all;
}

std::string TmuxSession::ScreenWithAttributes() {
    return Tmux({"capture-pane", "-p", "-e", "-t", "kova"});
}

bool TmuxSession::WaitFor(const std::string& text, int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        if (ScreenText().find(text) != std::string::npos) return true;
        Pause(20);
    } while (Clock::now() < deadline);
    return false;
}

bool TmuxSession::WaitForRow(int row, const std::string& text, int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        if (Row(row).find(text) != std::string::npos) return true;
        Pause(20);
    } while (Clock::now() < deadline);
    return false;
}

void TmuxSession::Settle(int quietMs, int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string last = ScreenWithAttributes();
    auto quietSince = Clock::now();
    while (Clock::now() < deadline) {
        Pause(30);
        std::string now = ScreenWithAttributes();
        if (now != last) {
            last = now;
            quietSince = Clock::now();
        } else if (Clock::now() - quietSince >= std::chrono::milliseconds(quietMs)) {
            return;
        }
    }
}

bool TmuxSession::WaitForExit(int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        if (std::filesystem::exists(dir_ + "/.exit-status")) return true;
        Pause(20);
    } while (Clock::now() < deadline);
    return false;
}

int TmuxSession::ExitStatus() {
    if (!WaitForExit(2000)) return -1;
    std::ifstream in(dir_ + "/.exit-status");
    int status = -1;
    in >> status;
    return status;
}

int TmuxSession::ProgramPid() {
    int shell = std::atoi(Tmux({"display-message", "-p", "-t", "kova", "#{pane_pid}"}).c_str());
    return std::atoi(RunCommand({"pgrep", "-P", std::to_string(shell)}).c_str());
}

void TmuxSession::Resize(int cols, int rows) {
    Tmux({"resize-window", "-t", "kova", "-x", std::to_string(cols), "-y", std::to_string(rows)});
}
