// The setup file on disk: the settings record read from and written to a
// named .STP file. Reading gives the record back with how the read went; the
// caller decides what a missing or damaged file means.
#pragma once
#include <cstddef>
#include <string>

#include "config/disk_file.h"
#include "setup/link_setup.h"

// A relative name made absolute against the current directory: the file
// picker may change the current directory later, and every save must still
// reach the file read at start.
std::string AbsoluteSetupName(const std::string& name);

enum class SetupFileRead { Read, Short, Missing };

struct SetupFileContents {
    SetupFileRead outcome = SetupFileRead::Missing;
    // When Read; when Short with the whole record there, that record (a baud
    // rate index past the list), so that a report can name the index.
    LinkSetup setup;
    int error = 0;    // errno of the failed open or read, when Missing
    size_t size = 0;  // the bytes read, at most the record's
};

// The file whatever the case of its name. A file that decodes but names a
// baud rate outside the list counts as short.
SetupFileContents ReadSetupFile(const std::string& path);
// Replaces the file (whatever the case of its name) with setup's image.
SaveResult SaveSetupFile(const std::string& path, const LinkSetup& setup);
