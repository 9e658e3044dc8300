// The commands on one module over the command line's link: identify, fetch,
// send, eeprom, and the operand "module" of print and diff.
#include <cstdio>
#include <cstring>
#include <vector>

#include "commands.h"
#include "common/printable.h"
#include "config/config_check.h"
#include "config/config_files.h"
#include "config/config_lists.h"
#include "config/config_ranges.h"
#include "config/validate.h"
#include "module_connection.h"
#include "send_interruption.h"
#include "setup/link_kinds.h"
#include "setup/link_setup.h"

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

std::string UnreadableText(const std::string& path, const LoadedConfigFile& loaded) {
    if (loaded.outcome == ConfigFileLoad::CannotOpen)
        return "Can't open file \"" + path + "\" for read. (" + std::strerror(loaded.error) + ")";
    return path + ": Can't read disk file. (" + WhyUnreadable(loaded.bytes) + ")";
}

// Reads a .KOV file; with repair, as loading in the program does, its ports
// validated and repaired, each report on standard error naming the file.
// False with *error naming the file.
// A configuration text: its errors but the last on standard error, the last
// the reason; the fields it left out said there too.
bool LoadTextOperand(const std::string& path, ConfigSnapshot* snapshot, std::string* error) {
    DecodedConfig decoded;
    std::vector<std::string> messages;
    const bool loaded = LoadConfigText(path, &decoded, &messages);
    if (!loaded) *error = messages.back(), messages.pop_back();
    for (const std::string& m : messages)
        std::fprintf(stderr, "kova-config: %s\n", tools::Printable(m).c_str());
    snapshot->contents = decoded.contents;
    snapshot->model = 2;
    return loaded;
}

bool LoadFileOperand(const std::string& path, ConfigSnapshot* snapshot, std::string* error,
                     bool repair) {
    if (HoldsConfigText(path)) {
        if (!LoadTextOperand(path, snapshot, error)) return false;
    } else {
        const LoadedConfigFile loaded = LoadConfigFile(path);
        if (loaded.outcome != ConfigFileLoad::Loaded) {
            *error = UnreadableText(path, loaded);
            return false;
        }
        snapshot->contents = loaded.contents;
        snapshot->model = 2;
    }
    if (!repair) return true;
    const ConfigFileContents read = snapshot->contents;
    ModuleConfig config = ModuleConfigOf(read);
    ValidatePortsOf(config, 0, 3, [&path](const std::string& message) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), message.c_str());
    });
    snapshot->contents = DocumentOf(config, read.printProgBaud, read.reserved);
    snapshot->contents.version = read.version;
    return true;
}

// Over a serial line, a send that moves the module's programming port to
// another rate leaves this computer's port behind: nothing could be read back.
bool ReadBackReachable(const ConfigOptions& options, int16_t printProgBaud, std::string* error) {
    LinkSetup setup;
    if (!SetupOfLinkSource(options.source, &setup, error)) return false;
    const LinkKindRow* kind = LinkKindOf(setup.ConnectionType);
    if ((kind && !kind->followsPrintProgBaud) || printProgBaud < 0 || printProgBaud > 3)
        return true;
    const int32_t moduleBaud = kPrintProgBaudValues[printProgBaud];
    if (moduleBaud == LinkBaudRate(setup)) return true;
    *error = "--verify: the file moves the module's Print/Prog port to " +
             std::to_string(moduleBaud) + " baud, the link runs at " +
             std::to_string(LinkBaudRate(setup)) + ": nothing could be read back";
    return false;
}

// A standard module has no registers for the PLUS values: a file holding
// any would not arrive whole. Said before anything is written.
bool FitsTheModel(const ModuleIdentity& identity, const std::string& path,
                  const ConfigSnapshot& snapshot, ProgressLine& progress) {
    if (identity.model != kModelStandard) return true;
    const std::vector<std::string> held = PlusValuesHeld(snapshot.contents);
    for (const std::string& value : held) progress.Message("kova-config: " + path + ": " + value);
    if (!held.empty())
        progress.Message("kova-config: " + path + ": the module is standard; nothing sent");
    return held.empty();
}

// A whole send; a failure says what the module now holds.
bool SendWhole(ModuleConnection& session, ToolReporter& reporter, ProgressLine& progress,
               const ConfigSnapshot& snapshot) {
    SendPart reached = SendPart::Nothing;
    if (session.Send(snapshot, &reached)) return true;
    if (reached != SendPart::Nothing)
        progress.Message("kova-config: " +
                         SendFailedText(reached, reporter.LastStep(), reporter.LastError()));
    return false;
}

int ReportVerified(const std::vector<ConfigDifference>& differences, ProgressLine& progress) {
    for (const ConfigDifference& d : differences)
        progress.Message("kova-config: read back: " + d.field + ": " + d.before + " sent, " +
                         d.after + " read back");
    if (differences.empty()) return kExitOk;
    progress.Message("kova-config: the module holds " + std::to_string(differences.size()) +
                     (differences.size() == 1 ? " field" : " fields") + " other than sent");
    return kExitVerifyFailed;
}

// A text's import errors are its problems' reason; the fields it left out
// are warnings.
bool CheckConfigText(const std::string& path, ConfigSnapshot* snapshot,
                     std::vector<std::string>* problems, std::vector<std::string>* warnings,
                     std::string* error) {
    DecodedConfig decoded;
    std::vector<std::string> messages;
    if (!LoadConfigText(path, &decoded, &messages)) {
        error->clear();
        for (const std::string& m : messages) *error += (error->empty() ? "" : "\n") + m;
        return false;
    }
    snapshot->contents = decoded.contents;
    snapshot->model = 2;
    *problems = ConfigProblems(decoded.contents);
    *warnings = RegisterBlockOverlaps(decoded.contents);
    const std::string prefix = path + ": ";
    for (const std::string& m : messages)
        warnings->push_back(m.rfind(prefix, 0) == 0 ? m.substr(prefix.size()) : m);
    return true;
}

}  // namespace

bool LoadOperand(const std::string& operand, const ConfigOptions& options, ConfigSnapshot* snapshot,
                 std::string* error, bool repair) {
    if (operand != kModuleOperand) return LoadFileOperand(operand, snapshot, error, repair);
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

bool CheckConfigFile(const std::string& path, ConfigSnapshot* snapshot,
                     std::vector<std::string>* problems, std::vector<std::string>* warnings,
                     std::string* error) {
    if (HoldsConfigText(path)) return CheckConfigText(path, snapshot, problems, warnings, error);
    const LoadedConfigFile loaded = LoadConfigFile(path);
    if (loaded.outcome != ConfigFileLoad::Loaded) {
        *error = UnreadableText(path, loaded);
        return false;
    }
    snapshot->contents = loaded.contents;
    snapshot->model = 2;
    problems->clear();
    const std::string size = FileSizeProblem(loaded.layout, loaded.size);
    if (!size.empty()) problems->push_back(size);
    for (std::string& p : ConfigProblems(loaded.contents)) problems->push_back(std::move(p));
    *warnings = RegisterBlockOverlaps(loaded.contents);
    return true;
}

int RunSend(const ConfigOptions& options) {
    const std::string& path = options.operands[0];
    ConfigSnapshot snapshot;
    std::vector<std::string> problems, warnings;
    std::string error;
    if (!CheckConfigFile(path, &snapshot, &problems, &warnings, &error)) {
        std::fprintf(stderr, "kova-config: %s\n", error.c_str());
        return kExitTrouble;
    }
    // The module gets exactly what the file holds or nothing: a file the
    // program's load would repair or report is refused before the link is
    // even opened.
    for (const std::string& problem : problems)
        std::fprintf(stderr, "kova-config: %s: %s\n", path.c_str(), problem.c_str());
    if (!problems.empty()) {
        std::fprintf(stderr, "kova-config: %s: nothing sent\n", path.c_str());
        return kExitTrouble;
    }
    if (options.verify && !ReadBackReachable(options, snapshot.contents.printProgBaud, &error)) {
        std::fprintf(stderr, "kova-config: %s\n", error.c_str());
        return kExitTrouble;
    }
    ProgressLine progress(!options.quiet);
    ToolReporter reporter(progress, "", ShowOn(progress));
    reporter.ExpectSteps(ModuleConnection::kWholeModuleSteps * (options.verify ? 2 : 1));
    ModuleConnection session(options.source, reporter);
    {
        const SendInterruption interruption(reporter, progress);
        ModuleIdentity identity;
        if (!session.Open() || !session.Identify(&identity)) return kExitFailed;
        if (!FitsTheModel(identity, path, snapshot, progress)) return kExitTrouble;
        if (!SendWhole(session, reporter, progress, snapshot)) return kExitFailed;
    }
    if (!options.verify) return kExitOk;
    const InterruptReport reading([&progress](int) {
        progress.Message("kova-config: interrupted: everything sent, not verified");
    });
    std::vector<ConfigDifference> differences;
    if (!session.Verify(snapshot, &differences)) {
        progress.Message("kova-config: sent, but the read-back failed: not verified");
        return kExitFailed;
    }
    return ReportVerified(differences, progress);
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
