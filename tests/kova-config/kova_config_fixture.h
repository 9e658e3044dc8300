// What the kova-config tests share: a scratch folder, the program run to its
// end, simulated modules over Modbus TCP or a pty, and .KOV files made and
// read with the program's own file image.
#pragma once
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "common/child_process.h"
#include "config/config_file_image.h"

using Args = std::vector<std::string>;

Args Join(Args a, const Args& b);

// kova-sim on a free loopback Modbus TCP port, or as a Sy/Max or Modbus RTU
// slave on a new pty; stopped by its pid when destroyed or stopped.
class Sim {
  public:
    enum Wire { Tcp, SyMaxPty, RtuPty };
    explicit Sim(Wire wire, const Args& options = {});
    bool Running() const { return !where_.empty(); }
    // The link options of kova-config and kova-link that reach it.
    Args Link() const;
    void Stop() { process_.reset(); }

  private:
    Wire wire_;
    std::unique_ptr<ChildProcess> process_;
    std::string where_;  // the TCP port or the pty's path
};

// A setup file as the program writes it: Modbus TCP to the loopback port
// given, or a serial link on the place in the port list given.
std::string SetupFile(int16_t type, const std::string& tcpPort, int16_t serialPort = 0);

// Defaults with a value off its default in every kind of field: PLUS values,
// control characters in a pattern and a query, a long poll interval.
ConfigFileContents SampleConfig();

class KovaConfigTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    RunResult Run(const Args& args);
    RunResult RunOn(const Sim& sim, const Args& args) { return Run(Join(sim.Link(), args)); }

    void WriteKov(const std::string& name, const ConfigFileContents& contents);
    ConfigFileContents ReadKov(const std::string& name);
    void WriteText(const std::string& name, const std::string& text);
    bool Exists(const std::string& name) const;
    // The entries of the scratch folder (or a folder in it), sorted.
    std::vector<std::string> Entries(const std::string& sub = "") const;

    std::string dir_;
};

// The fields a whole-module transfer moves, compared byte for byte.
void ExpectSameTransferredFields(const ConfigFileContents& expected,
                                 const ConfigFileContents& actual, bool plus);

// kova-config with its standard error on a terminal, so that it shows its
// progress line; the test reads the terminal until the fetch is half-way.
class TerminalRun {
  public:
    // stdoutPath: where standard output goes ("" leaves it as it is).
    explicit TerminalRun(const Args& args, const std::string& stdoutPath = "") {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || grantpt(master_) || unlockpt(master_)) return;
        const std::string slave = ptsname(master_);
        pid_ = fork();
        if (pid_ == 0) {
            int fd = open(slave.c_str(), O_RDWR);
            dup2(fd, STDERR_FILENO);
            if (!stdoutPath.empty()) {
                int out = open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                dup2(out, STDOUT_FILENO);
            }
            std::vector<char*> argv;
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~TerminalRun() {
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0) close(master_);
    }
    // Reads the terminal until text shows or the deadline passes.
    bool WaitFor(const std::string& text, std::chrono::seconds deadline) {
        const auto end = std::chrono::steady_clock::now() + deadline;
        while (seen_.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            pollfd p{master_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, int(left.count())) <= 0) return false;
            char buffer[256];
            const ssize_t n = read(master_, buffer, sizeof buffer);
            if (n <= 0) return false;
            seen_.append(buffer, size_t(n));
        }
        return true;
    }
    // Sends the signal and waits for the end; the wait status.
    int Signal(int sig) {
        kill(pid_, sig);
        int status = 0;
        waitpid(pid_, &status, 0);
        ended_ = true;
        return status;
    }
    const std::string& Seen() const { return seen_; }

  private:
    int master_ = -1;
    pid_t pid_ = -1;
    bool ended_ = false;
    std::string seen_;
};
