// print and diff: a configuration from a file or the module, shown as the
// program's print-out or compared field by field.
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "commands.h"
#include "common/printable.h"
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

// The print-out as the program writes it, except on a terminal: there the
// bytes of patterns and queries that a terminal would act on (the print-out
// shows control characters as hex digits already, but not DEL or bytes past
// 0x7F) are escaped; its own line and page ends stay.
std::string ForTerminal(const std::string& listing) {
    if (!isatty(STDOUT_FILENO)) return listing;
    std::string out;
    size_t start = 0;
    for (size_t end; (end = listing.find_first_of("\n\f", start)) != std::string::npos;
         start = end + 1)
        out +=
            tools::Printable(std::string_view(listing).substr(start, end - start)) + listing[end];
    return out + tools::Printable(std::string_view(listing).substr(start));
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
        std::fprintf(stderr, "kova-config: %s\n", tools::Printable(error).c_str());
        return LoadFailure(options.operands[0]);
    }
    const ModuleConfig config = ModuleConfigOf(snapshot.contents);
    return WriteOut(ForTerminal(ConfigListing(config, snapshot.contents.printProgBaud,
                                              snapshot.model, ListingDate(std::time(nullptr)))));
}

int RunDiff(const ConfigOptions& options) {
    ConfigSnapshot sides[2];
    for (int i = 0; i < 2; ++i) {
        std::string error;
        // As each holds it: a repaired copy would hide what a file says.
        if (!LoadOperand(options.operands[size_t(i)], options, &sides[i], &error, false)) {
            std::fprintf(stderr, "kova-config: %s\n", tools::Printable(error).c_str());
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
