// The checks before a write and the reports after one.
#include "write_targets.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "config/config_files.h"
#include "config/disk_file.h"

namespace {

// The save has left errno as the failing call set it, or 0 where nothing did.
bool Reported(SaveResult result, const std::string& path, std::string* error) {
    switch (result) {
        case SaveResult::Saved:
            return true;
        case SaveResult::CannotOpen:
            // A link planted after the checks before the save.
            if (errno == ELOOP) return *error = path + " is a symbolic link", false;
            *error = "Can't open file \"" + path + "\" for write.";
            break;
        case SaveResult::ShortWrite:
            *error = path + ": Can't write to disk file.";
            break;
    }
    if (errno) *error += std::string(" (") + std::strerror(errno) + ")";
    return false;
}

}  // namespace

bool MayWriteKovFile(const std::string& path, bool replace, std::string* error) {
    if (path.empty()) return *error = "no file name given (\"\")", false;
    struct stat st;
    const bool exists = ::lstat(path.c_str(), &st) == 0;
    if (exists && S_ISLNK(st.st_mode)) return *error = path + " is a symbolic link", false;
    if (exists && S_ISDIR(st.st_mode)) return *error = path + " is a folder", false;
    if (exists && !replace) return *error = path + " exists; --force replaces it", false;
    return MayWriteInFolder(path, error);
}

bool MayWriteInFolder(const std::string& path, std::string* error) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const std::string dir = parent.empty() ? "." : parent.string();
    struct stat st;
    const char* reason = nullptr;
    if (::stat(dir.c_str(), &st) != 0)
        reason = std::strerror(errno);
    else if (!S_ISDIR(st.st_mode))
        reason = std::strerror(ENOTDIR);
    else if (::access(dir.c_str(), W_OK | X_OK) != 0)
        reason = std::strerror(errno);
    if (!reason) return true;
    *error = "cannot write into the folder " + dir + " (" + reason + ")";
    return false;
}

bool SaveKovFile(const std::string& path, const ConfigFileContents& document, bool replace,
                 std::string* error) {
    if (!MayWriteKovFile(path, replace, error)) return false;
    errno = 0;
    return Reported(SaveConfigFile(path, document, AtLink::Refuse), path, error);
}

bool SaveRefusingLinks(const std::string& path, const std::vector<uint8_t>& bytes,
                       std::string* error) {
    errno = 0;
    return Reported(SaveFileReplacing(path, bytes, AtLink::Refuse), path, error);
}
