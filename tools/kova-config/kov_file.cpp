// Reading, validating and saving configuration files without a screen.
#include "kov_file.h"

#include <sys/stat.h>

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
    if (::lstat(path.c_str(), &st) != 0 || replace) return true;
    *error = path + " exists; --force replaces it";
    return false;
}

bool SaveKovFile(const std::string& path, const ConfigFileContents& contents, bool replace,
                 std::string* error) {
    if (!MayWriteKovFile(path, replace, error)) return false;
    errno = 0;
    switch (SaveFileReplacing(path, EncodeConfigFile(contents))) {
        case SaveResult::Saved:
            return true;
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
