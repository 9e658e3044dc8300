// A kova-sim of the build serving a simulated module on a new pty (or, when
// the options give --tcp, on a loopback Modbus TCP port), started by the test
// and stopped by its pid; and a scratch device root that offers such ptys to
// kovasw (--device-root) under serial port names.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

class SimProcess {
  public:
    explicit SimProcess(const std::vector<std::string>& options = {"--protocol", "symax"});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;
    // The pty's slave path, which kovasw opens.
    const std::string& SlavePath() const { return slave_; }
    // With --tcp: the port it listens on.
    int TcpPort() const { return tcpPort_; }

  private:
    pid_t pid_ = -1;
    std::string slave_;
    int tcpPort_ = 0;
};

class DeviceRoot {
  public:
    DeviceRoot();
    ~DeviceRoot();
    // Lists name as a serial port whose device node leads to target.
    void Add(const std::string& name, const std::string& target);
    const std::string& Path() const { return root_; }

  private:
    std::string root_;
};
