// The command line of kova-config: options (anywhere on the line) and one
// command with its operands.
#pragma once
#include <string>
#include <vector>

#include "common/exit_status.h"
#include "common/link_source.h"

enum class ConfigCommand {
    Identify,
    Fetch,
    Send,
    Print,
    Diff,
    Eeprom,
    Backup,
    History,
    Check,
    Export,
    Import,
    Emulate,
    Watch,
};

struct ConfigOptions {
    LinkSource source;
    bool quiet = false;
    bool force = false;
    bool history = false;     // backup: keep what changed, DIR/history
    bool backupText = false;  // backup: NAME.toml beside each .KOV written
    bool verify = false;      // send: read everything back and compare
    std::string metricsFile;  // backup: the run's Prometheus metrics
    bool textJson = false;    // export: JSON instead of TOML
    bool strict = false;      // import: a field left out is refused
    int jobs = 4;
    bool json = false;        // emulate: one JSON object a message
    bool csv = false;         // emulate: one CSV row a message; watch: a row a change
    std::string watchConfig;  // watch: the paths of this file, not the module's
    int intervalMs = 1000;    // watch
    int count = 0;            // watch: polls; 0 until ended by a signal
    ConfigCommand command = ConfigCommand::Identify;
    std::vector<std::string> operands;
};

// The exit statuses (common/exit_status.h).
using tools::kExitChanged;
using tools::kExitFailed;
using tools::kExitOk;
using tools::kExitTrouble;
using tools::kExitVerifyFailed;

// False with *exitCode set after printing help or an error.
bool ParseConfigOptions(int argc, char** argv, ConfigOptions* options, int* exitCode);

// Whether the command needs the link of the command line: its row says (the
// module commands, and print, diff, export and emulate on the operand
// "module").
bool NeedsLink(const ConfigOptions& options);
// Runs the parsed command through its row; returns the exit status.
int RunConfigCommand(const ConfigOptions& options);

constexpr const char* kModuleOperand = "module";
