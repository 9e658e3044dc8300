// The commands on one module over the command line's link: identify, fetch,
// send, eeprom, and the operand "module" of print and diff.
#include <cstdio>

#include "commands.h"
#include "config/config_ranges.h"
#include "module_session.h"

namespace {

// The progress line of a command on one module: "Port 2  Fetch path 3  34%".
ProgressUpdate ShowOn(ProgressLine& progress) {
    return [&progress](const std::string& port, const std::string& step, int percent) {
        progress.Show((port.empty() ? "" : port + "  ") + step + "  " + std::to_string(percent) +
                      "%");
    };
}

const char* ModelText(int16_t model) { return model == 1 ? "PLUS" : "standard"; }

}  // namespace

bool LoadOperand(const std::string& operand, const ConfigOptions& options, ConfigSnapshot* snapshot,
                 std::string* error) {
    if (operand != kModuleOperand) return LoadKovFile(operand, snapshot, error);
    ProgressLine progress(!options.quiet);
    ToolReporter reporter(progress, "", ShowOn(progress));
    reporter.ExpectSteps(ModuleSession::kWholeModuleSteps);
    ModuleSession session(options.source, reporter);
    ModuleIdentity identity;
    if (session.Open() && session.Identify(&identity) && session.Fetch(snapshot)) return true;
    // The reason is on standard error already.
    *error = "the module's configuration could not be read";
    return false;
}

int RunIdentify(const ConfigOptions& options) {
    ProgressLine progress(!options.quiet);
    ToolReporter reporter(progress, "", nullptr);
    ModuleSession session(options.source, reporter);
    ModuleIdentity identity;
    if (!session.Open() || !session.Identify(&identity)) return kExitFailed;
    std::printf("%s\n%s\n", identity.name.empty() ? "(no name block)" : identity.name.c_str(),
                ModelText(identity.model));
    return kExitOk;
}

int RunFetch(const ConfigOptions& options) {
    const std::string& path = options.operands[0];
    std::string error;
    // Refused before the link is even opened: the old file is the last good backup.
    if (!MayWriteKovFile(path, options.force, &error)) {
        std::fprintf(stderr, "kova-config: %s\n", error.c_str());
        return kExitFailed;
    }
    ConfigSnapshot snapshot;
    if (!LoadOperand(kModuleOperand, options, &snapshot, &error)) return kExitFailed;
    if (!SaveKovFile(path, snapshot.contents, options.force, &error)) {
        std::fprintf(stderr, "kova-config: %s\n", error.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

int RunSend(const ConfigOptions& options) {
    ConfigSnapshot snapshot;
    std::string error;
    // Loading validates and repairs the ports as the send dialog does, its
    // reports on standard error.
    if (!LoadKovFile(options.operands[0], &snapshot, &error)) {
        std::fprintf(stderr, "kova-config: %s\n", error.c_str());
        return kExitTrouble;
    }
    // Nothing of a file with a value outside its list or range reaches the
    // module, and the link is not even opened.
    const ModuleConfig config = ModuleConfigOf(snapshot.contents);
    if (auto fault = ModuleOutOfRange(config, snapshot.contents.printProgBaud)) {
        std::fprintf(stderr, "kova-config: %s: %s; nothing sent\n", options.operands[0].c_str(),
                     fault->c_str());
        return kExitTrouble;
    }
    ProgressLine progress(!options.quiet);
    ToolReporter reporter(progress, "", ShowOn(progress));
    reporter.ExpectSteps(ModuleSession::kWholeModuleSteps);
    ModuleSession session(options.source, reporter);
    ModuleIdentity identity;
    if (!session.Open() || !session.Identify(&identity) || !session.Send(snapshot))
        return kExitFailed;
    return kExitOk;
}

int RunEeprom(const ConfigOptions& options) {
    ProgressLine progress(!options.quiet);
    ToolReporter reporter(progress, "", nullptr);
    ModuleSession session(options.source, reporter);
    ModuleIdentity identity;
    if (!session.Open() || !session.Identify(&identity)) return kExitFailed;
    switch (session.WriteEeprom()) {
        case EepromOutcome::Stored:
            std::printf("Setup written to EEPROM\n");
            return kExitOk;
        case EepromOutcome::NoEeprom:
            return kExitNoEeprom;
        case EepromOutcome::Unexpected:
            return kExitUnexpectedEeprom;
        case EepromOutcome::WriteFailed:
        case EepromOutcome::ReadFailed:
            break;
    }
    return kExitFailed;
}
