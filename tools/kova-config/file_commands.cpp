// print and diff: a configuration from a file or the module, shown as the
// program's print-out or compared field by field.
#include <cstdio>
#include <ctime>

#include "commands.h"
#include "config/config_diff.h"
#include "config/config_listing.h"

namespace {

// Standard output may be a closed pipe or a full disk: a destination that
// cannot be written.
int WriteOut(const std::string& text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (std::fflush(stdout) != 0 || !written) {
        std::perror("kova-config: standard output");
        return kExitTrouble;
    }
    return kExitOk;
}

// An operand that could not be had: the module's link failed, or the file is
// bad input.
int LoadFailure(const std::string& operand) {
    return operand == kModuleOperand ? kExitFailed : kExitTrouble;
}

}  // namespace

int RunPrint(const ConfigOptions& options) {
    ConfigSnapshot snapshot;
    std::string error;
    if (!LoadOperand(options.operands[0], options, &snapshot, &error)) {
        std::fprintf(stderr, "kova-config: %s\n", error.c_str());
        return LoadFailure(options.operands[0]);
    }
    const ModuleConfig config = ModuleConfigOf(snapshot.contents);
    return WriteOut(ConfigListing(config, snapshot.contents.printProgBaud, snapshot.model,
                                  ListingDate(std::time(nullptr))));
}

int RunDiff(const ConfigOptions& options) {
    ConfigSnapshot sides[2];
    for (int i = 0; i < 2; ++i) {
        std::string error;
        if (!LoadOperand(options.operands[size_t(i)], options, &sides[i], &error)) {
            std::fprintf(stderr, "kova-config: %s\n", error.c_str());
            return LoadFailure(options.operands[size_t(i)]);
        }
    }
    const bool plus = sides[0].model != 0 && sides[1].model != 0;
    std::string text;
    const auto differences = CompareConfigs(sides[0].contents, sides[1].contents, plus);
    for (const ConfigDifference& d : differences) text += DifferenceLine(d) + "\n";
    if (WriteOut(text) != kExitOk) return kExitTrouble;
    return differences.empty() ? kExitOk : kExitChanged;
}
