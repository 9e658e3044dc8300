// --history: DIR/NAME.KOV is always a module's latest configuration, and
// what it held before a change is kept in DIR/history/NAME/STAMP.KOV beside
// STAMP.diff, the lines `kova-config diff` prints for the old file against
// the new. With text, NAME.toml and STAMP.toml are the texts `kova-config
// export` gives for those files, so that a version control system shows the
// history readably. A fetch equal to the file (compared as diff compares, field by
// field) leaves it untouched: same bytes, same modification time. Nothing is
// written through a symbolic link, and no kept version is ever replaced.
#pragma once
#include <sys/stat.h>

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "config/config_file_image.h"

// What happened to a module's latest file.
enum class HistoryChange { New, Unchanged, Changed };

struct HistoryResult {
    HistoryChange change = HistoryChange::New;
    int changedFields = 0;  // Changed: fields that differ (0: the old file was unreadable)
    std::string kept;       // Changed: the old file's new name
};

// The name of a change made at time t: local time YYYYMMDDTHHMMSS.
std::string HistoryStamp(std::time_t t);

// Compares the fetched configuration with DIR/NAME.KOV and keeps the history,
// a change stamped with the time it was found; plus: the module is a PLUS
// module (its PLUS values are compared). A change is recorded together with
// the new file or not at all: False with *error, the latest file as it was
// and nothing kept in the history for this run.
bool KeepHistory(const std::string& dir, const std::string& name, const ConfigFileContents& fetched,
                 bool plus, HistoryResult* result, std::string* error, bool text = false);

// The text copy of the .KOV file at kovPath: NAME.toml beside NAME.KOV.
std::string TextCopyPath(const std::string& kovPath);
// Writes the text export gives for config at TextCopyPath(kovPath), through
// the crash-safe save, never through a symbolic link. False with *error.
bool SaveTextCopy(const std::string& kovPath, const DecodedConfig& config, std::string* error);

// How many fields the fetched configuration changes against the file at
// path (read without following a link); nullopt when there is no readable
// configuration file there.
std::optional<int> FieldsChanged(const std::string& path, const ConfigFileContents& fetched,
                                 bool plus);

// The kept versions' folder of a module: DIR/history/NAME.
std::string HistoryFolder(const std::string& dir, const std::string& name);

// Whether path names the same file as st (another link to it).
bool SameFile(const std::string& path, const struct stat& st);
// The .KOV files of a history folder that are links to the given file.
std::vector<std::string> SameFileIn(const std::string& folder, const struct stat& file);

// From now on no change is recorded; waits for the one being recorded to be
// whole. For a signal that ends the run: it never returns the lock.
void StopRecordingChanges();
