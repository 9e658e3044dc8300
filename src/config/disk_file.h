// File access for the files users keep (.KOV, .STP): names are matched to
// directory entries without regard to case, and a save never destroys the old
// file: it goes to a temporary file in the same directory, is flushed to disk
// and then renamed over the target.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The directory entry in dir that names the same file as name: the exact name
// when it exists, else the first entry (in byte order) that equals it ignoring
// case. Only regular files (or links to them) count.
std::optional<std::string> FindEntryIgnoringCase(const std::string& dir, const std::string& name);

// The path to open for a name typed by the user in the current directory: the
// existing entry whatever its case, else the name as typed.
std::string ResolveName(const std::string& name);

// The path to open for a path the user gave: its last part matched to an entry
// of its folder whatever its case, else the path as given (whose opening then
// fails with the reason to report).
std::string ResolvePath(const std::string& path);

// Reads at most maxBytes from the start of a file; nullopt (errno set) when it
// cannot be opened or read. A pipe is read as it comes (a list given as
// <(command)).
std::optional<std::vector<uint8_t>> ReadFilePrefix(const std::string& path, size_t maxBytes);
// The same for the files a user keeps (configurations, setups): only a
// regular file. A pipe or device under such a name is refused at once
// (EINVAL; a folder EISDIR) instead of waiting for a writer that may never
// come.
std::optional<std::vector<uint8_t>> ReadKeptFilePrefix(const std::string& path, size_t maxBytes);

enum class SaveResult { Saved, CannotOpen, ShortWrite };
// What a save does when its name is a symbolic link. Follow: the user's own
// link kept as "the current file" stays a link and the file it leads to gets
// the new contents (the program's saves). Refuse: CannotOpen with errno ELOOP,
// as open(2) with O_NOFOLLOW says it; the temporary file is made beside the
// name itself, and a link planted after the check is replaced by the rename,
// never written through (files a scheduled job writes, maybe as root, into a
// folder others can write to).
enum class AtLink { Follow, Refuse };
// Replaces the file name with bytes. A name that is a directory or anything
// but a plain file cannot be opened. On failure the old file is left as it was
// and no temporary file remains.
SaveResult SaveFileReplacing(const std::string& name, const std::vector<uint8_t>& bytes,
                             AtLink atLink = AtLink::Follow);

// Removes the temporary files of the saves under way. Safe in a signal
// handler, so that a program ended by a signal in the middle of a save leaves
// neither a half-written file nor a stray temporary one.
void RemovePendingSaveFiles();
