#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/shell.h"
#include "link/serial_device.h"
#include "setup/serial_port_list.h"
#include "ui/console/ncurses_console.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments;
    ShellState state;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kHelpText, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs(kVersionText, stdout);
            return 0;
        }
        // Testing option: serial ports from a directory of pty links.
        if (std::strcmp(argv[i], "--device-root") == 0 && i + 1 < argc) {
            state.settings.ports = SerialPortList::Under(argv[++i]);
            continue;
        }
        arguments.emplace_back(argv[i]);
    }
    // A reader that goes away (the print spooler ending early) must give a
    // write error, not end the program with the terminal raw.
    std::signal(SIGPIPE, SIG_IGN);
    con::NcursesConsole console;
    // A signal that ends the program gives the serial ports back as a close
    // would: no lock file, no TIOCEXCL keeping the next program out.
    con::NcursesConsole::SetFatalSignalHook(ReleaseHeldSerialPorts);
    return RunShell(console, arguments, state);
}
