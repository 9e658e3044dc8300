// Where kova-config may write and how: never over an existing file unless
// asked to and never through a symbolic link, every file through the crash-safe
// save (temporary file, flush, rename); each refusal names the file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config/config_file_image.h"

// Whether a .KOV file may be written at path, checked before any link
// traffic: never an empty name, never through a symbolic link there (even
// with replace), never over a folder, over an existing file only with replace, and only into a
// folder that exists and may be written. False with *error.
bool MayWriteKovFile(const std::string& path, bool replace, std::string* error);
// Only the folder part of those checks.
bool MayWriteInFolder(const std::string& path, std::string* error);
// Writes the document in the current layout (version 1113) through the
// configuration file save, refusing a symbolic link at its name. False with
// *error naming the file.
bool SaveKovFile(const std::string& path, const ConfigFileContents& document, bool replace,
                 std::string* error);
// Any file kova-config writes (history, metrics): the same crash-safe save,
// never through a symbolic link. False with *error naming the file.
bool SaveRefusingLinks(const std::string& path, const std::vector<uint8_t>& bytes,
                       std::string* error);
