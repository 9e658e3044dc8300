// .KOV files for the command line: read and validated as the program reads
// them (its reports on standard error, each naming the file), and written
// through the program's save (temporary file, flush, rename), never over an
// existing file unless asked to and never through a symbolic link.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config/config_file_image.h"
#include "config/module_config.h"

// A configuration with the model it was taken from: 0 standard, 1 PLUS, 2 not
// known (a file does not say).
struct ConfigSnapshot {
    ConfigFileContents contents;
    int16_t model = 2;
};

// The ports and PLUS values of a configuration into file contents.
void StoreModuleConfig(const ModuleConfig& config, ConfigFileContents* contents);

// Reads any of the accepted layouts and validates (and repairs) the four
// ports as loading in the program does. False with *error naming the file.
bool LoadKovFile(const std::string& path, ConfigSnapshot* snapshot, std::string* error);

// Whether a .KOV file may be written at path, checked before any link
// traffic: never through a symbolic link there (even with replace), never
// over a folder, over an existing file only with replace, and only into a
// folder that exists and may be written. False with *error.
bool MayWriteKovFile(const std::string& path, bool replace, std::string* error);
// Only the folder part of those checks.
bool MayWriteInFolder(const std::string& path, std::string* error);
// Writes the current layout (version 1113) through the save that refuses a
// symbolic link at its name. False with *error naming the file.
bool SaveKovFile(const std::string& path, const ConfigFileContents& contents, bool replace,
                 std::string* error);
// Any file kova-config writes (history, metrics): the same crash-safe save,
// never through a symbolic link. False with *error naming the file.
bool SaveRefusingLinks(const std::string& path, const std::vector<uint8_t>& bytes,
                       std::string* error);
