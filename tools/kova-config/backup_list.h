// The module list of a backup: one module a line, its name and its link
// options; blank lines and # comments. Every fault is named by its line, and
// a list with any fault is refused whole, before a link is opened.
#pragma once
#include <string>
#include <vector>

#include "common/link_source.h"

struct BackupEntry {
    std::string name;  // also the file name: DIR/NAME.KOV
    LinkSource source;
    int line = 0;
};

// Letters, digits, - _ . (not first), at most 64: a module's name is a file
// name in the backup folder.
bool IsModuleName(const std::string& name);

// The entries, or false with one message a fault in *errors, each
// "LIST:LINE: ...". A relative --setup is taken from the list's folder.
bool ParseBackupList(const std::string& listName, const std::string& text,
                     std::vector<BackupEntry>* entries, std::vector<std::string>* errors);

// Reads and parses the file; a file that cannot be read is one error.
bool ReadBackupList(const std::string& path, std::vector<BackupEntry>* entries,
                    std::vector<std::string>* errors);
