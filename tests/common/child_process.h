// Programs tests run as peers (the simulated module, the register tool, socat,
// the libmodbus server, mbpoll, pymodbus): started with their output on pipes,
// waited for with deadlines, and stopped by their own pid.
#pragma once
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

using Millis = std::chrono::milliseconds;

struct RunResult {
    int status = -1;  // exit status, or -1 if it had to be killed
    std::string out, err;
};

// Runs a program to its end (killed after the deadline).
RunResult RunProgram(const std::vector<std::string>& argv, Millis deadline = Millis(60000));

class ChildProcess {
  public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();  // SIGTERM, then SIGKILL if it does not end in time
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line of standard output, or "" at the deadline or its end.
    std::string ReadLine(Millis deadline = Millis(10000));
    pid_t Pid() const { return pid_; }
    // Waits for the program to end by itself: its exit status, or -1 when it
    // did not end by the deadline or ended by a signal.
    int WaitForExit(Millis deadline = Millis(10000));
    // The same, as a shell reports it: 128 + n for a program ended by signal
    // n (143 for SIGTERM); -1 when it did not end by the deadline.
    int WaitForShellStatus(Millis deadline = Millis(10000));

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string buffered_;
};

// The path of a program of this build (kova-sim, kova-link, ...).
std::string BuildProgram(const std::string& name);
std::string SourcePath(const std::string& relative);
// Fails the calling test when a peer program is missing.
bool HaveProgram(const std::string& path);
// Waits until a file exists.
bool WaitForPath(const std::string& path, Millis deadline = Millis(10000));
