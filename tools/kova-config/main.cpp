// kova-config: KOVA module configurations from the command line. Fetches a
// module's whole configuration into a .KOV file, sends one, prints and
// compares them, writes the module's setup to its EEPROM, and backs up a
// whole plant's modules at once.
#include "commands.h"
#include "ending_signals.h"

int main(int argc, char** argv) {
    ConfigOptions options;
    int exitCode;
    if (!ParseConfigOptions(argc, argv, &options, &exitCode)) return exitCode;
    // A signal that ends the program (Ctrl-C, SIGTERM from a scheduler)
    // leaves no half-saved temporary file and no serial port lock behind; a
    // fetch under way simply never reaches its file.
    WatchEndingSignals();
    switch (options.command) {
        case ConfigCommand::Identify:
            return RunIdentify(options);
        case ConfigCommand::Fetch:
            return RunFetch(options);
        case ConfigCommand::Send:
            return RunSend(options);
        case ConfigCommand::Print:
            return RunPrint(options);
        case ConfigCommand::Diff:
            return RunDiff(options);
        case ConfigCommand::Eeprom:
            return RunEeprom(options);
        case ConfigCommand::Backup:
            return RunBackup(options);
        case ConfigCommand::History:
            return RunHistory(options);
        case ConfigCommand::Check:
            return RunCheck(options);
        case ConfigCommand::Export:
            return RunExport(options);
        case ConfigCommand::Import:
            return RunImport(options);
        case ConfigCommand::Emulate:
            return RunEmulate(options);
        case ConfigCommand::Watch:
            return RunWatch(options);
    }
    return kExitTrouble;
}
