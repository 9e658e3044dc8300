// Reading, validating and saving configuration files without a screen.
#include "kov_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

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

ModuleConfig ModuleConfigOf(const ConfigFileContents& contents) {
    ModuleConfig config;
    config.Plus = contents.plus;
    std::memcpy(config.Ports, contents.ports, sizeof config.Ports);
    return config;
}

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
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) {
            *error = path + " is a symbolic link";
            return false;
        }
        if (!replace) {
            *error = path + " exists; --force replaces it";
            return false;
        }
    }
    // The folder must take the new file: found out before a transfer of many
    // seconds rather than after it.
    const size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "."
                            : slash == 0               ? "/"
                                                       : path.substr(0, slash);
    struct stat d;
    if (::stat(dir.c_str(), &d) != 0 || !S_ISDIR(d.st_mode)) {
        *error = dir + ": no such folder";
        return false;
    }
    if (::access(dir.c_str(), W_OK) != 0) {
        *error = dir + ": cannot write in this folder (" + std::strerror(errno) + ")";
        return false;
    }
    return true;
}

bool SaveKovFile(const std::string& path, const ConfigFileContents& contents, bool replace,
                 std::string* error) {
    if (!MayWriteKovFile(path, replace, error)) return false;
    errno = 0;
    switch (SaveFileReplacing(path, EncodeConfigFile(contents), SaveLinks::Refuse)) {
        case SaveResult::Saved:
            return true;
        case SaveResult::SymbolicLink:
            *error = path + " is a symbolic link";
            errno = 0;
            return false;
        case SaveResult::CannotOpen:
            *error = "Can't open file \"" + path + "\" for write.";
            break;
        case SaveResult::ShortWrite:
            *error = path + ": Can't write to disk file.";
            break;
    }
    if (errno) *error += std::string(" (") + std::strerror(errno) + ")";
    return false;
}
