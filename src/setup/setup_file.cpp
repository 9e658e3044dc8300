// Names are matched whatever their case: setup files come from other
// installations whose file systems did not tell "SETUP.STP" from "setup.stp".
#include "setup/setup_file.h"

#include <unistd.h>

#include <cerrno>
#include <climits>

namespace {

std::string DirOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }
std::string BaseOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// The existing file whatever the case of its name, else the name as given.
std::string ResolveIn(const std::string& path) {
    std::string dir = DirOf(path);
    auto entry = FindEntryIgnoringCase(dir.empty() ? "." : dir, BaseOf(path));
    return entry ? dir + *entry : path;
}

}  // namespace

std::string AbsoluteSetupName(const std::string& name) {
    if (!name.empty() && name.front() == '/') return name;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return name;
    return std::string(cwd) + "/" + name;
}

SetupFileContents ReadSetupFile(const std::string& path) {
    SetupFileContents read;
    auto bytes = ReadFilePrefix(ResolveIn(path), kSetupFileSize);
    if (!bytes) {
        read.error = errno;
        return read;
    }
    read.size = bytes->size();
    read.outcome = SetupFileRead::Short;
    auto setup = DecodeSetup(bytes->data(), bytes->size());
    if (!setup) return read;
    read.setup = *setup;
    if (SetupBaudsInList(*setup)) read.outcome = SetupFileRead::Read;
    return read;
}

SaveResult SaveSetupFile(const std::string& path, const LinkSetup& setup) {
    return SaveFileReplacing(ResolveIn(path), EncodeSetup(setup));
}
