// Reading, validating and saving configuration files without a screen.
#include "kov_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "config/disk_file.h"
#include "config/validate.h"

namespace {

// A file that opens with a version word is cut short; any other is no
// configuration file at all.
std::string WhyUnreadable(const std::vector<uint8_t>& bytes) {
    const std::string size = std::to_string(bytes.size()) + " bytes";
    const size_t needed = VersionedLayoutSize(bytes.data(), bytes.size());
    if (needed == 0) return size + ", not a configuration file";
    const int version = int16_t(bytes[0] | bytes[1] << 8);
    return size + ", version " + std::to_string(version) + " needs " + std::to_string(needed);
}

}  // namespace

void StoreModuleConfig(const ModuleConfig& config, ConfigFileContents* contents) {
    contents->plus = config.Plus;
    std::memcpy(contents->ports, config.Ports, sizeof contents->ports);
}

bool LoadKovFile(const std::string& path, ConfigSnapshot* snapshot, std::string* error) {
    auto bytes = ReadFilePrefix(path, kConfigFileSize);
    if (!bytes) {
        *error = "Can't open file \"" + path + "\" for read. (" + std::strerror(errno) + ")";
        return false;
    }
    auto decoded = DecodeConfigFile(bytes->data(), bytes->size());
    if (!decoded) {
        *error = path + ": Can't read disk file. (" + WhyUnreadable(*bytes) + ")";
        return false;
    }
    ConfigFileContents& c = decoded->contents;
    ModuleConfig config = ModuleConfigOf(c);
    ValidatePortsOf(config, 0, 3, [&path](const std::string& message) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), message.c_str());
    });
    StoreModuleConfig(config, &c);
    snapshot->contents = c;
    snapshot->model = 2;
    return true;
}

bool MayWriteKovFile(const std::string& path, bool replace, std::string* error) {
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

bool SaveKovFile(const std::string& path, const ConfigFileContents& contents, bool replace,
                 std::string* error) {
    if (!MayWriteKovFile(path, replace, error)) return false;
    return SaveRefusingLinks(path, EncodeConfigFile(contents), error);
}

bool SaveRefusingLinks(const std::string& path, const std::vector<uint8_t>& bytes,
                       std::string* error) {
    errno = 0;
    switch (SaveFileReplacing(path, bytes, AtLink::Refuse)) {
        case SaveResult::Saved:
            return true;
        case SaveResult::CannotOpen:
            // A link planted after the checks above.
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
