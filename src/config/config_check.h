// Whether a configuration file can go to a module exactly as it holds it. The
// loads of the program repair what they can and report it; a send from the
// command line may not: what the module would get must be what the file
// says, or nothing is sent. The same judgement lets a configuration be
// checked before anyone goes to the plant.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "config/config_file_image.h"

// Every problem of the contents as read, each naming its port, path, field
// and value: values outside their lists or ranges, whatever the validation of
// a load would report or repair (registers outside the module's window, a
// register block running past it, counts past 64), texts without their
// terminating zero, a Continue on path 4. Empty when a send would carry the
// contents exactly.
std::vector<std::string> ConfigProblems(const ConfigFileContents& contents);

// A file holding more or fewer bytes than its layout: the bytes beyond a
// layout would be dropped without a word. Empty when the size is exact.
std::string FileSizeProblem(ConfigLayout layout, size_t size);

// The PLUS values the contents hold (terminate count and timeout,
// Trigger/Inhibit other than 0), each named: what a standard module has no
// registers for, so a send to one could not carry them.
std::vector<std::string> PlusValuesHeld(const ConfigFileContents& contents);

// Paths whose register blocks overlap, within a port or across ports: two
// devices writing the same registers. Not a fault of the file; a warning.
std::vector<std::string> RegisterBlockOverlaps(const ConfigFileContents& contents);
