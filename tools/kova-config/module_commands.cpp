// The commands on one module over the command line's link: identify, fetch,
// send, eeprom, and the operand "module" of print and diff.
#include <cstdio>
#include <cstring>
#include <vector>

#include "commands.h"
#include "common/printable.h"
#include "config/config_files.h"
#include "config/config_ranges.h"
#include "config/validate.h"
#include "module_connection.h"
#include "send_interruption.h"

namespace {

// The progress line of a command on one module: "Port 2  Fetch path 3  34%".
ProgressUpdate ShowOn(ProgressLine& progress) {
    return [&progress](const std::string& port, const std::string& step, int percent) {
        progress.Show((port.empty() ? "" : port + "  ") + step + "  " + std::to_string(percent) +
                      "%");
    };
}

const char* ModelText(int16_t model) { return model == 1 ? "PLUS" : "standard"; }

// A file that opens with a version word is cut short; any other is no
// configuration file at all.
std::string WhyUnreadable(const std::vector<uint8_t>& bytes) {
    const std::string size = std::to_string(bytes.size()) + " bytes";
    const size_t needed = VersionedLayoutSize(bytes.data(), bytes.size());
    if (needed == 0) return size + ", not a configuration file";
    const int version = int16_t(bytes[0] | bytes[1] << 8);
    return size + ", version " + std::to_string(version) + " needs " + std::to_string(needed);
}

// Reads a .KOV file as loading in the program does, its ports validated and
// repaired, each report on standard error naming the file. False with
// *error naming the file.
bool LoadFileOperand(const std::string& path, ConfigSnapshot* snapshot, std::string* error) {
    const LoadedConfigFile loaded = LoadConfigFile(path);
    switch (loaded.outcome) {
        case ConfigFileLoad::CannotOpen:
            *error =
                "Can't open file \"" + path + "\" for read. (" + std::strerror(loaded.error) + ")";
            return false;
        case ConfigFileLoad::CannotRead:
            *error = path + ": Can't read disk file. (" + WhyUnreadable(loaded.bytes) + ")";
            return false;
        case ConfigFileLoad::Loaded:
            break;
    }
    ModuleConfig config = ModuleConfigOf(loaded.contents);
    ValidatePortsOf(config, 0, 3, [&path](const std::string& message) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), message.c_str());
    });
    snapshot->contents =
        DocumentOf(config, loaded.contents.printProgBaud, loaded.contents.reserved);
    snapshot->contents.version = loaded.contents.version;
    snapshot->model = 2;
    return true;
}

}  // namespace

bool LoadOperand(const std::string& operand, const ConfigOptions& options, ConfigSnapshot* snapshot,
                 std::string* error) {
    if (operand != kModuleOperand) return LoadFileOperand(operand, snapshot, error);
    ProgressLine progress(!options.quiet);
    ToolReporter reporter(progress, "", ShowOn(progress));
    reporter.ExpectSteps(ModuleConnection::kWholeModuleSteps);
    ModuleConnection session(options.source, reporter);
    ModuleIdentity identity;
    if (session.Open() && session.Identify(&identity) && session.Fetch(snapshot)) return true;
    // The reason is on standard error already.
    *error = "the module's configuration could not be read";
    return false;
}

int RunIdentify(const ConfigOptions& options) {
    ProgressLine progress(!options.quiet);
    ToolReporter reporter(progress, "", nullptr);
    ModuleConnection session(options.source, reporter);
    ModuleIdentity identity;
    if (!session.Open() || !session.Identify(&identity)) return kExitFailed;
    std::printf("%s\n%s\n",
                identity.name.empty() ? "(no name block)" : tools::Printable(identity.name).c_str(),
                ModelText(identity.model));
    return kExitOk;
}

int RunFetch(const ConfigOptions& options) {
    const std::string& path = options.operands[0];
    std::string error;
    // Refused before the link is even opened: the old file is the last good backup.
    if (!MayWriteKovFile(path, options.force, &error)) {
        std::fprintf(stderr, "kova-config: %s\n", tools::Printable(error).c_str());
        return kExitTrouble;
    }
    ConfigSnapshot snapshot;
    if (!LoadOperand(kModuleOperand, options, &snapshot, &error)) return kExitFailed;
    if (!SaveKovFile(path, snapshot.contents, options.force, &error)) {
        std::fprintf(stderr, "kova-config: %s\n", tools::Printable(error).c_str());
        return kExitTrouble;
    }
    return kExitOk;
}

int RunSend(const ConfigOptions& options) {
    ConfigSnapshot snapshot;
    std::string error;
    // Loading validates and repairs the ports as the send dialog does, its
    // reports on standard error.
    if (!LoadFileOperand(options.operands[0], &snapshot, &error)) {
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
    reporter.ExpectSteps(ModuleConnection::kWholeModuleSteps);
    ModuleConnection session(options.source, reporter);
    const SendInterruption interruption(reporter, progress);
    ModuleIdentity identity;
    if (!session.Open() || !session.Identify(&identity) || !session.Send(snapshot))
        return kExitFailed;
    return kExitOk;
}

int RunEeprom(const ConfigOptions& options) {
    ProgressLine progress(!options.quiet);
    ToolReporter reporter(progress, "", nullptr);
    ModuleConnection session(options.source, reporter);
    ModuleIdentity identity;
    if (!session.Open() || !session.Identify(&identity)) return kExitFailed;
    switch (session.WriteEeprom()) {
        case EepromOutcome::Stored:
            std::printf("Setup written to EEPROM\n");
            return kExitOk;
        case EepromOutcome::NoEeprom:  // what the module said is on standard error
        case EepromOutcome::Unexpected:
        case EepromOutcome::WriteFailed:
        case EepromOutcome::ReadFailed:
            break;
    }
    return kExitFailed;
}
