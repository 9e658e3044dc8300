// The commands of kova-config; each returns the exit status.
#pragma once
#include <string>
#include <vector>

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
int RunCheck(const ConfigOptions& options);
int RunExport(const ConfigOptions& options);
int RunImport(const ConfigOptions& options);
int RunEmulate(const ConfigOptions& options);
int RunWatch(const ConfigOptions& options);

// A .KOV file, or the whole configuration of the module on the command
// line's link for the operand "module". False with *error. A file is
// validated and repaired as the program's loads do it (its reports on
// standard error), or with repair false taken exactly as it holds.
bool LoadOperand(const std::string& operand, const ConfigOptions& options, ConfigSnapshot* snapshot,
                 std::string* error, bool repair = true);

// Whether the file holds a configuration text (export's TOML) rather than a
// .KOV file: told by its content.
bool HoldsConfigText(const std::string& path);
// Reads a configuration text as import does (fields left out take their
// defaults). *messages: the import's errors when false, else the fields left
// out; each names the file.
bool LoadConfigText(const std::string& path, DecodedConfig* out,
                    std::vector<std::string>* messages);

// A .KOV file as it holds it, and every reason a send would refuse it (its
// size, values outside their lists, ranges or the module's window, texts
// without their zero), each naming port, path, field and value; *warnings:
// overlapping register blocks. False with *error when it cannot be read.
bool CheckConfigFile(const std::string& path, ConfigSnapshot* snapshot,
                     std::vector<std::string>* problems, std::vector<std::string>* warnings,
                     std::string* error);
