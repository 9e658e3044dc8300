// What the kova-config tests share: a scratch folder, the program run to its
// end, simulated modules over Modbus TCP or a pty, and .KOV files made and
// read with the program's own file image.
#pragma once
#include <gtest/gtest.h>
#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "common/child_process.h"
#include "common/sim_process.h"
#include "config/config_file_image.h"

using Args = std::vector<std::string>;

Args Join(Args a, const Args& b);

// kova-sim on a free loopback Modbus TCP port, or as a Sy/Max or Modbus RTU
// slave on a new pty; stopped by its pid when destroyed or stopped.
class Sim {
  public:
    enum Wire { Tcp, SyMaxPty, RtuPty };
    explicit Sim(Wire wire, const Args& options = {});
    // The link options of kova-config and kova-link that reach it.
    Args Link() const;
    void Stop() { process_.reset(); }

  private:
    Wire wire_;
    std::unique_ptr<SimProcess> process_;
    std::string where_;  // the TCP port or the pty's path
};

// A program started with its standard output and error in files, for a test
// that signals it or runs two at once; killed by its pid if the test ends
// before it does.
class Spawned {
  public:
    Spawned(Args argv, const std::string& out, const std::string& err);
    ~Spawned();
    Spawned(const Spawned&) = delete;
    Spawned& operator=(const Spawned&) = delete;
    bool Running() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    // Waits for its end: the wait status.
    int Wait();
    // Sends the signal, then waits for the end.
    int Signal(int sig);

  private:
    pid_t pid_ = -1;
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
