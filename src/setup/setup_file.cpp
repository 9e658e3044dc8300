// Names are matched whatever their case: setup files come from other
// installations whose file systems did not tell "SETUP.STP" from "setup.stp".
#include "setup/setup_file.h"

#include <unistd.h>

#include <cerrno>
#include <climits>

std::string AbsoluteSetupName(const std::string& name) {
    if (!name.empty() && name.front() == '/') return name;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return name;
    return std::string(cwd) + "/" + name;
}

SetupFileContents ReadSetupFile(const std::string& path) {
    SetupFileContents read;
    auto bytes = ReadKeptFilePrefix(ResolvePath(path), kSetupFileSize);
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
    return SaveFileReplacing(ResolvePath(path), EncodeSetup(setup));
}
