// The simulated module for tests: a kova-sim of this build with the options
// given, on a new pty unless they name another place (--listen, --tcp,
// --tty), started with its output on a pipe and stopped by its own pid. The
// first lines it prints say where it serves: the pty's path, or "listening"
// and the port (with --tty the device is the test's own, and it says nothing).
// One that does not say where it serves throws, which fails the test with
// what it said instead.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "common/child_process.h"

class SimProcess {
  public:
    explicit SimProcess(const std::vector<std::string>& options = {"--protocol", "symax"});
    ~SimProcess() { Stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool OnTcp() const { return tcp_; }
    // The pty's slave path (or --tty's device), or the TCP port as text.
    const std::string& Where() const { return where_; }
    const std::string& SlavePath() const { return where_; }
    int TcpPort() const { return tcp_ ? std::stoi(where_) : 0; }
    pid_t Pid() const { return process_ ? process_->Pid() : -1; }
    // Lines it prints after the first ones (--count-bytes, --log -).
    std::string ReadLine(Millis deadline = Millis(10000));
    // SIGTERM now, as a module switched off; waits for it to end.
    void Stop();

  private:
    std::unique_ptr<ChildProcess> process_;
    bool tcp_ = false;
    bool madePty_ = false;  // the pty is kova-sim's own, not a device of the test's
    std::string where_;
};
