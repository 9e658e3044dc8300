// The commands of kova-config; each returns the exit status.
#pragma once
#include <string>

#include "config_options.h"
#include "config_snapshot.h"
#include "write_targets.h"

int RunPrint(const ConfigOptions& options);
int RunDiff(const ConfigOptions& options);
int RunIdentify(const ConfigOptions& options);
int RunFetch(const ConfigOptions& options);
int RunSend(const ConfigOptions& options);
int RunEeprom(const ConfigOptions& options);
int RunBackup(const ConfigOptions& options);
int RunHistory(const ConfigOptions& options);

// A .KOV file, or the whole configuration of the module on the command
// line's link for the operand "module". False with *error.
bool LoadOperand(const std::string& operand, const ConfigOptions& options, ConfigSnapshot* snapshot,
                 std::string* error);
