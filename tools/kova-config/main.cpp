// kova-config: KOVA module configurations from the command line. Fetches a
// module's whole configuration into a .KOV file, sends one, prints and
// compares them, writes the module's setup to its EEPROM, and backs up a
// whole plant's modules at once.
#include <csignal>
#include <cstdio>

#include "commands.h"
#include "config/disk_file.h"
#include "link/uucp_lock.h"

namespace {

// A signal that ends the program (Ctrl-C, SIGTERM from a scheduler) leaves no
// half-saved temporary file and no serial port lock behind; a fetch under
// way simply never reaches its file.
void EndBySignal(int sig) {
    RemovePendingSaveFiles();
    RemoveHeldUucpLocks();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void CatchEndingSignals() {
    struct sigaction action {};
    action.sa_handler = EndBySignal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(sig, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    ConfigOptions options;
    int exitCode;
    if (!ParseConfigOptions(argc, argv, &options, &exitCode)) return exitCode;
    CatchEndingSignals();
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
    }
    return kExitTrouble;
}
