#include "tmux_session.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "common/device_root_dir.h"
#include "common/pty_pair.h"
#include "common/wait_until.h"
#include "setup/link_setup.h"

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

namespace {

// Gone, or a zombie that holds nothing open any more.
bool ProcessGone(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    const size_t end = line.rfind(')');
    return end != std::string::npos && line.compare(end + 1, 3, " Z ") == 0;
}

}  // namespace

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
    PrepareQuietStart();
}

void TmuxSession::PrepareQuietStart() {
    pty_ = std::make_unique<PtyPair>();
    ports_ = std::make_unique<DeviceRootDir>("kova-e2e-ports");  // outside dir_: pickers list dir_
    ports_->AddPort("ttyS0", pty_->SlavePath());
    auto bytes = EncodeSetup(DefaultSetupFor("KOVASW.STP"));
    std::ofstream(dir_ + "/KOVASW.STP", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TmuxSession::~TmuxSession() {
    if (started_) {
        // The program ends before its ports do: one still running when a
        // pty closes would open the port again by its name, and the name may
        // by then lead to another test's new pty with the same number.
        const int program = ProgramPid();
        RunCommand({"tmux", "-L", socket_, "kill-server"});
        if (program > 0) WaitUntil([&] { return ProcessGone(program); });
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

const std::string& TmuxSession::DeviceRoot() const { return ports_->Path(); }

std::string TmuxSession::Tmux(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"tmux", "-L", socket_, "-f", dir_ + "/.tmux.conf"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunCommand(argv);
}

void TmuxSession::Start(const std::vector<std::string>& args, const std::string& program) {
    // A small shell waits for the program and records how it ended; it then
    // stays, so that tmux keeps the pane and everything the program wrote.
    std::vector<std::string> command{"new-session",
                                     "-d",
                                     "-s",
                                     "kova",
                                     "-c",
                                     dir_,
                                     "env",
                                     "LANG=" + locale_,
                                     "LC_ALL=" + locale_,
                                     "TERM=" + (term_.empty() ? std::string("screen") : term_),
                                     "sh",
                                     "-c",
                                     "\"$@\"; echo $? > .exit-status; exec sleep 600",
                                     "sh",
                                     BuildDir() + "/" + program};
    if (program == "kovasw") {
        command.push_back("--device-root");
        command.push_back(ports_->Path());
    }
    command.insert(command.end(), args.begin(), args.end());
    Tmux(command);
    started_ = true;
}

void TmuxSession::StartScript(const std::string& script) {
    Tmux({"new-session", "-d", "-s", "kova", "-c", dir_, "env", "LANG=" + locale_,
          "LC_ALL=" + locale_, "KOVASW=" + BuildDir() + "/kovasw --device-root " + ports_->Path(),
          "sh", "-c", script});
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

namespace {

// Applies one SGR sequence's parameters to the current cell attributes.
void ApplySgr(const std::vector<int>& params, TmuxSession::Cell& a) {
    for (size_t i = 0; i < params.size(); ++i) {
        int p = params[i];
        if (p == 0)
            a = TmuxSession::Cell{};
        else if (p == 1)
            a.bold = true;
        else if (p == 4)
            a.underline = true;
        else if (p == 7)
            a.reverse = true;
        else if (p == 22)
            a.bold = false;
        else if (p == 24)
            a.underline = false;
        else if (p == 27)
            a.reverse = false;
        else if (p >= 30 && p <= 37)
            a.fg = p - 30;
        else if (p == 39)
            a.fg = -1;
        else if (p >= 40 && p <= 47)
            a.bg = p - 40;
        else if (p == 49)
            a.bg = -1;
        else if (p >= 90 && p <= 97)
            a.fg = p - 90 + 8;
        else if (p >= 100 && p <= 107)
            a.bg = p - 100 + 8;
        else if ((p == 38 || p == 48) && i + 2 < params.size() && params[i + 1] == 5) {
            (p == 38 ? a.fg : a.bg) = params[i + 2];
            i += 2;
        }
    }
}

}  // namespace

std::vector<TmuxSession::Cell> TmuxSession::RowCells(int row) {
    // tmux leaves out attributes that carry over from the rows before, so the
    // capture is read from its start.
    std::string text = ScreenWithAttributes();
    std::vector<Cell> cells;
    Cell current;
    int at = 1;
    for (size_t i = 0; i < text.size() && at <= row;) {
        if (text[i] == '\n') {
            ++at;
            ++i;
            continue;
        }
        // Shift out and in switch to the line-drawing set and back: no cell.
        if (text[i] == '\016' || text[i] == '\017') {
            ++i;
            continue;
        }
        if (text[i] == '\033' && i + 1 < text.size() && text[i + 1] == '[') {
            size_t m = text.find('m', i);
            if (m == std::string::npos) break;
            std::vector<int> params;
            std::string body = text.substr(i + 2, m - i - 2);
            size_t from = 0;
            while (from <= body.size()) {
                size_t semi = body.find(';', from);
                params.push_back(std::atoi(body.substr(from, semi - from).c_str()));
                if (semi == std::string::npos) break;
                from = semi + 1;
            }
            ApplySgr(params, current);
            i = m + 1;
            continue;
        }
        size_t length = 1;  // one UTF-8 character
        unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead >= 0xF0)
            length = 4;
        else if (lead >= 0xE0)
            length = 3;
        else if (lead >= 0xC0)
            length = 2;
        if (at == row) {
            Cell cell = current;
            cell.ch = text.substr(i, length);
            if (cell.bold && cell.fg >= 0 && cell.fg < 8) cell.fg += 8;
            cells.push_back(cell);
        }
        i += length;
    }
    return cells;
}

bool TmuxSession::WaitFor(const std::string& text, int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        std::string screen = ScreenText();
        if (screen.find(text) != std::string::npos) {
            // The text may arrive before the rest of the same update: wait
            // until two looks in a row agree (briefly, within the deadline).
            for (int look = 0; look < 10 && Clock::now() < deadline; ++look) {
                Pause(20);
                std::string again = ScreenText();
                if (again == screen) break;
                screen = again;
            }
            return screen.find(text) != std::string::npos;
        }
        Pause(20);
    } while (Clock::now() < deadline);
    return false;
}

bool TmuxSession::WaitForGone(const std::string& text, int timeoutMs) {
    return WaitUntil([&] { return ScreenText().find(text) == std::string::npos; },
                     std::chrono::milliseconds(timeoutMs));
}

bool TmuxSession::WaitForRow(int row, const std::string& text, int timeoutMs) {
    return WaitUntil([&] { return Row(row).find(text) != std::string::npos; },
                     std::chrono::milliseconds(timeoutMs));
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
    // The shell creates the file before it writes the status into it: only a
    // whole line is the status.
    return WaitUntil(
        [&] {
            std::ifstream in(dir_ + "/.exit-status");
            std::string line;
            return std::getline(in, line) && !in.eof();
        },
        std::chrono::milliseconds(timeoutMs));
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
