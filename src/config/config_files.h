// Reading and writing a .KOV configuration file in the current folder by the
// name the user gave: an existing entry matches whatever its case, and a new
// file is created with the name as typed.
#pragma once
#include <string>

#include "config/config_file_image.h"
#include "config/disk_file.h"
#include "config/module_config.h"

enum class ConfigFileLoad { Loaded, CannotOpen, CannotRead };

struct LoadedConfigFile {
    ConfigFileLoad outcome = ConfigFileLoad::CannotOpen;
    ConfigFileContents contents;  // when Loaded
};

LoadedConfigFile LoadConfigFile(const std::string& file);
// Writes the document in the current layout to target (through a temporary
// file beside it, renamed over it).
SaveResult SaveConfigFile(const std::string& target, const ConfigFileContents& document);
