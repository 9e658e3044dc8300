// kova-config: KOVA module configurations from the command line. Fetches a
// module's whole configuration into a .KOV file, sends one, prints and
// compares them, writes the module's setup to its EEPROM, and backs up a
// whole plant's modules at once.
#include "config_options.h"
#include "ending_signals.h"

int main(int argc, char** argv) {
    ConfigOptions options;
    int exitCode;
    if (!ParseConfigOptions(argc, argv, &options, &exitCode)) return exitCode;
    // A signal that ends the program (Ctrl-C, SIGTERM from a scheduler)
    // leaves no half-saved temporary file and no serial port lock behind; a
    // fetch under way simply never reaches its file.
    WatchEndingSignals();
    return RunConfigCommand(options);
}
