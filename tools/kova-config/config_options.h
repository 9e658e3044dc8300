// The command line of kova-config: options (anywhere on the line) and one
// command with its operands.
#pragma once
#include <string>
#include <vector>

#include "common/link_source.h"

enum class ConfigCommand { Identify, Fetch, Send, Print, Diff, Eeprom, Backup, History, Check };

struct ConfigOptions {
    LinkSource source;
    bool quiet = false;
    bool force = false;
    bool history = false;     // backup: keep what changed, DIR/history
    bool verify = false;      // send: read everything back and compare
    std::string metricsFile;  // backup: the run's Prometheus metrics
    int jobs = 4;
    ConfigCommand command = ConfigCommand::Identify;
    std::vector<std::string> operands;
};

// The exit statuses, as diff(1) has them: 0 success (or equal), 1 a failure
// of the module, the link or a file (or different), 2 trouble with the
// command line or its input.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitTrouble = 2;
// backup --history: every module fetched, at least one changed.
constexpr int kExitChanged = 3;
// eeprom: the module has no EEPROM, or answered the command with something
// else than done or no EEPROM.
constexpr int kExitNoEeprom = 3;
constexpr int kExitUnexpectedEeprom = 4;
// send --verify: the module read back other values than were sent.
constexpr int kExitVerifyFailed = 4;

// False with *exitCode set after printing help or an error.
bool ParseConfigOptions(int argc, char** argv, ConfigOptions* options, int* exitCode);

// Whether the command needs the link of the command line: the module
// commands, and print or diff with the operand "module".
bool NeedsLink(const ConfigOptions& options);

constexpr const char* kModuleOperand = "module";
