// Option table, commands and help of kova-config.
#include "config_options.h"

#include <cstdio>
#include <cstring>

#include "commands.h"
#include "common/printable.h"
#include "common/tool_version.h"

namespace {

using Option = tools::OptionRow<ConfigOptions>;

std::vector<Option> OptionRows() {
    std::vector<Option> rows = tools::LiftOptions(tools::OptionTable<LinkSource>(LinkSourceRows()),
                                                  &ConfigOptions::source);
    rows.push_back({"--force", nullptr, "fetch, backup, export, import: replace an existing file",
                    [](ConfigOptions& o, const char*) { return o.force = true; }});
    rows.push_back({"--history", nullptr,
                    "backup: keep what changed in DIR/history; replaces files",
                    [](ConfigOptions& o, const char*) { return o.history = true; }});
    rows.push_back({"--text", nullptr, "backup: a text copy (TOML) beside each .KOV written",
                    [](ConfigOptions& o, const char*) { return o.backupText = true; }});
    rows.push_back({"--verify", nullptr, "send: read everything back and compare (exit 4)",
                    [](ConfigOptions& o, const char*) { return o.verify = true; }});
    rows.push_back({"--format", "toml|json", "export: the text's format (default toml)",
                    [](ConfigOptions& o, const char* a) {
                        o.textJson = std::strcmp(a, "json") == 0;
                        return o.textJson || std::strcmp(a, "toml") == 0;
                    }});
    rows.push_back({"--strict", nullptr, "import: refuse a text that leaves a field out",
                    [](ConfigOptions& o, const char*) { return o.strict = true; }});
    rows.push_back({"--metrics", "FILE", "backup: the run's metrics for Prometheus into FILE",
                    [](ConfigOptions& o, const char* a) { return o.metricsFile = a, true; }});
    rows.push_back(
        {"--jobs", "N", "backup: modules fetched at once (default 4, at most 64)",
         [](ConfigOptions& o, const char* a) { return tools::ToInt(a, 1, 64, &o.jobs); }});
    rows.push_back({"--json", nullptr, "emulate: one JSON object a message",
                    [](ConfigOptions& o, const char*) { return o.json = true; }});
    rows.push_back({"--csv", nullptr, "emulate, watch: CSV rows, with a header",
                    [](ConfigOptions& o, const char*) { return o.csv = true; }});
    rows.push_back({"--config", "FILE.KOV", "watch: the paths of FILE.KOV, not the module's",
                    [](ConfigOptions& o, const char* a) { return o.watchConfig = a, true; }});
    rows.push_back({"--interval", "MS", "watch: time between polls (default 1000)",
                    [](ConfigOptions& o, const char* a) {
                        return tools::ToInt(a, 10, 86400000, &o.intervalMs);
                    }});
    rows.push_back(
        {"--count", "N", "watch: this many polls (default: until interrupted)",
         [](ConfigOptions& o, const char* a) { return tools::ToInt(a, 1, 2000000000, &o.count); }});
    rows.push_back({"-q", nullptr, "no progress line on standard error",
                    [](ConfigOptions& o, const char*) { return o.quiet = true; }});
    // Serial ports of setup files are an index into the list the kernel
    // gives; tests offer ptys as such ports.
    rows.push_back(
        {"--device-root", "DIR",
         "testing: serial ports listed from DIR/sys/class/tty, opened in DIR/dev",
         [](ConfigOptions& o, const char* a) { return o.source.settings.deviceRoot = a, true; }});
    return rows;
}

// The operand count of a command that takes any number but none.
constexpr int kOneOrMore = -1;

// When a command needs the link of the command line.
enum class LinkNeed {
    Always,
    Never,
    ModuleOperand,       // when any operand is "module"
    ModuleFirstOperand,  // when the first operand is "module"
};

struct CommandRow {
    const char* name;
    ConfigCommand command;
    int (*run)(const ConfigOptions& options);  // returns the exit status
    LinkNeed link;
    int operands;
    const char* usage;
    const char* help;
    int optional = 0;  // operands that may follow the required ones
};

// clang-format off
const CommandRow kCommands[] = {
    {"identify", ConfigCommand::Identify, RunIdentify, LinkNeed::Always, 0, "identify",
     "the module's name and port, and PLUS or standard"},
    {"fetch", ConfigCommand::Fetch, RunFetch, LinkNeed::Always, 1, "fetch FILE.KOV",
     "the module's whole configuration into a .KOV file"},
    {"send", ConfigCommand::Send, RunSend, LinkNeed::Always, 1, "send FILE.KOV",
     "a .KOV file into the module exactly, checked first"},
    {"print", ConfigCommand::Print, RunPrint, LinkNeed::ModuleOperand, 1, "print FILE.KOV|module",
     "the configuration print-out on standard output"},
    {"diff", ConfigCommand::Diff, RunDiff, LinkNeed::ModuleOperand, 2, "diff A B",
     "every field that differs; A, B: .KOV files or module"},
    {"eeprom", ConfigCommand::Eeprom, RunEeprom, LinkNeed::Always, 0, "eeprom",
     "the module stores its setup in its EEPROM"},
    {"backup", ConfigCommand::Backup, RunBackup, LinkNeed::Never, 2, "backup LIST DIR",
     "each module of LIST into DIR/NAME.KOV, then a summary"},
    {"history", ConfigCommand::History, RunHistory, LinkNeed::Never, 2, "history DIR NAME",
     "the kept versions of module NAME in DIR, newest first"},
    {"check", ConfigCommand::Check, RunCheck, LinkNeed::Never, kOneOrMore, "check FILE.KOV...",
     "every problem that would stop a send, without a link"},
    {"export", ConfigCommand::Export, RunExport, LinkNeed::ModuleOperand, 1,
     "export FILE|module [OUT]", "the configuration as text (TOML), into OUT or on stdout", 1},
    {"import", ConfigCommand::Import, RunImport, LinkNeed::Never, 2, "import TEXT OUT.KOV",
     "a configuration text checked and written as a .KOV file"},
    {"emulate", ConfigCommand::Emulate, RunEmulate, LinkNeed::ModuleFirstOperand, 2,
     "emulate FILE PORT [IN]", "a device's bytes (IN) through a port: registers, values", 1},
    {"watch", ConfigCommand::Watch, RunWatch, LinkNeed::Always, 0, "watch",
     "the values the module's paths write, as they change"},
};
// clang-format on

void PrintHelp(FILE* out, const std::vector<Option>& rows) {
    std::fprintf(out,
                 "usage: kova-config LINK [options] COMMAND ...\n"
                 "       kova-config [options] print|diff FILE.KOV ...\n"
                 "       kova-config check FILE.KOV...\n"
                 "       kova-config [options] export|import ...\n"
                 "       kova-config [options] backup LIST DIR\n"
                 "       kova-config history DIR NAME\n"
                 "       kova-config [--json|--csv] emulate FILE PORT [INPUT]\n"
                 "       kova-config LINK [--config FILE.KOV] [--interval MS] [--count N] watch\n"
                 "Fetches, sends, prints and compares KOVA module configurations (.KOV files,\n"
                 "or their text form: see export) and backs up many modules at once. LINK is\n"
                 "the link options below, as kova-link takes them, or --setup FILE.STP.\n"
                 "\ncommands:\n");
    for (const CommandRow& c : kCommands) std::fprintf(out, "  %-22s %s\n", c.usage, c.help);
    std::fprintf(out, "\noptions:\n");
    tools::PrintOptionHelp(out, tools::OptionTable<ConfigOptions>(rows), 22);
    tools::PrintCommonOptionHelp(out, 22);
    std::fprintf(out,
                 "\nLIST has one module a line: a name (letters, digits, - _ .) and its link\n"
                 "options; blank lines and # comments are allowed. Example:\n"
                 "  line3-north  --type tcp --host 10.0.3.21 --drop 1\n"
                 "  packer       --type symax --port ttyUSB0 --baud 9600 --route 3\n"
                 "  kiln         --setup kiln.stp\n"
                 "\nWith --history, DIR/NAME.KOV stays the latest: a module equal to it leaves\n"
                 "it untouched (\"unchanged\"); one that differs moves it to\n"
                 "DIR/history/NAME/STAMP.KOV beside STAMP.diff (\"changed: N fields\").\n"
                 "--text also keeps NAME.toml beside NAME.KOV and STAMP.toml beside each\n"
                 "STAMP.KOV, the texts export gives, for review in version control.\n"
                 "\nexit status, in every command: 0 done (diff: equal); 1 the link or the\n"
                 "module failed (backup: any module); 2 bad command line or input (a damaged\n"
                 "file, a destination that exists without --force or cannot be written);\n"
                 "3 changes found (diff: the two differ; backup --history: a file changed);\n"
                 "4 verification failed.\n");
}

// Every command has its row (a test runs each command).
const CommandRow& CommandOf(ConfigCommand command) {
    for (const CommandRow& c : kCommands)
        if (c.command == command) return c;
    return kCommands[0];
}

const CommandRow* FindCommand(const std::string& name) {
    for (const CommandRow& c : kCommands)
        if (name == c.name) return &c;
    return nullptr;
}

bool Trouble(const std::string& message) {
    std::fprintf(stderr, "kova-config: %s (see --help)\n", tools::Printable(message).c_str());
    return false;
}

// Options may stand anywhere; "--" ends them.
bool SplitArguments(const std::vector<std::string>& args, const std::vector<Option>& rows,
                    ConfigOptions* o, std::vector<std::string>* words) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            words->push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        std::string error;
        if (!tools::ApplyOption(tools::OptionTable<ConfigOptions>(rows), args, &i, *o, &error))
            return Trouble(error);
    }
    return true;
}

}  // namespace

bool ParseConfigOptions(int argc, char** argv, ConfigOptions* o, int* exitCode) {
    *exitCode = kExitTrouble;
    const std::vector<Option> rows = OptionRows();
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& a : args) {
        if (a == "--") break;
        if (a == "--help" || a == "-h") {
            PrintHelp(stdout, rows);
            *exitCode = kExitOk;
            return false;
        }
        if (a == "--version") {
            tools::PrintVersion("kova-config");
            *exitCode = kExitOk;
            return false;
        }
    }
    std::vector<std::string> words;
    if (!SplitArguments(args, rows, o, &words)) return false;
    if (words.empty()) return Trouble("no command given");
    const CommandRow* command = FindCommand(words[0]);
    if (!command) return Trouble("unknown command " + words[0]);
    const int given = int(words.size()) - 1;
    if (command->operands == kOneOrMore
            ? given < 1
            : given < command->operands || given > command->operands + command->optional)
        return Trouble(std::string("usage: kova-config ") + command->usage);
    o->command = command->command;
    o->operands.assign(words.begin() + 1, words.end());
    if (o->command == ConfigCommand::Backup &&
        (o->source.settingsGiven || !o->source.setupFile.empty()))
        return Trouble("backup takes the links from LIST, not from the command line");
    if ((o->history || o->backupText || !o->metricsFile.empty()) &&
        o->command != ConfigCommand::Backup)
        return Trouble("--history, --text and --metrics go with backup");
    if (o->verify && o->command != ConfigCommand::Send) return Trouble("--verify goes with send");
    if (o->textJson && o->command != ConfigCommand::Export)
        return Trouble("--format goes with export");
    if (o->strict && o->command != ConfigCommand::Import)
        return Trouble("--strict goes with import");
    if (o->json && o->csv) return Trouble("--json or --csv, not both");
    if (o->json && o->command != ConfigCommand::Emulate) return Trouble("--json goes with emulate");
    if (o->csv && o->command != ConfigCommand::Emulate && o->command != ConfigCommand::Watch)
        return Trouble("--csv goes with emulate or watch");
    if ((!o->watchConfig.empty() || o->count || o->intervalMs != 1000) &&
        o->command != ConfigCommand::Watch)
        return Trouble("--config, --interval and --count go with watch");
    std::string error;
    if (NeedsLink(*o) && !LinkSourceComplete(o->source, &error)) {
        std::fprintf(stderr, "kova-config: %s\n", tools::Printable(error).c_str());
        return false;
    }
    return true;
}

bool NeedsLink(const ConfigOptions& o) {
    const CommandRow& command = CommandOf(o.command);
    switch (command.link) {
        case LinkNeed::Always:
            return true;
        case LinkNeed::Never:
            return false;
        case LinkNeed::ModuleOperand:
            for (const std::string& operand : o.operands)
                if (operand == kModuleOperand) return true;
            return false;
        case LinkNeed::ModuleFirstOperand:
            return !o.operands.empty() && o.operands[0] == kModuleOperand;
    }
    return true;
}

int RunConfigCommand(const ConfigOptions& options) {
    return CommandOf(options.command).run(options);
}
