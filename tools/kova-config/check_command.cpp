// check: what a send would refuse in each file, listed without a link, so
// that a configuration can be put right before anyone goes to the plant.
#include <cstdio>

#include "commands.h"

namespace {

// The file's lines on standard output; true when it could be sent.
bool CheckOne(const std::string& path) {
    ConfigSnapshot snapshot;
    std::vector<std::string> problems, warnings;
    std::string error;
    if (!CheckConfigFile(path, &snapshot, &problems, &warnings, &error)) {
        std::printf("%s\n", error.c_str());
        return false;
    }
    for (const std::string& problem : problems)
        std::printf("%s: %s\n", path.c_str(), problem.c_str());
    for (const std::string& warning : warnings)
        std::printf("%s: warning: %s\n", path.c_str(), warning.c_str());
    if (problems.empty()) std::printf("%s: ok\n", path.c_str());
    return problems.empty();
}

}  // namespace

int RunCheck(const ConfigOptions& options) {
    bool allSound = true;
    for (const std::string& path : options.operands) allSound = CheckOne(path) && allSound;
    if (std::fflush(stdout) != 0) {
        std::perror("kova-config: standard output");
        return kExitFailed;
    }
    return allSound ? kExitOk : kExitTrouble;
}
