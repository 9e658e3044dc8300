// Reading and writing a .KOV configuration file by the name the user gave:
// the last part of the name matches an existing entry of its folder whatever
// its case, and a new file is created with the name as typed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config/config_file_image.h"
#include "config/disk_file.h"
#include "config/module_config.h"

enum class ConfigFileLoad { Loaded, CannotOpen, CannotRead };

struct LoadedConfigFile {
    ConfigFileLoad outcome = ConfigFileLoad::CannotOpen;
    ConfigFileContents contents;  // when Loaded
    int error = 0;                // errno of the failed open or read, when CannotOpen
    std::vector<uint8_t> bytes;   // what was read, when CannotRead
    // When Loaded: the layout read and the bytes the file holds, counted up
    // to one past the current layout (a longer file shows as 6689).
    ConfigLayout layout = ConfigLayout::V1113;
    size_t size = 0;
};

LoadedConfigFile LoadConfigFile(const std::string& file);
// Writes the document in the current layout to target (through a temporary
// file beside it, renamed over it).
SaveResult SaveConfigFile(const std::string& target, const ConfigFileContents& document,
                          AtLink atLink = AtLink::Follow);
