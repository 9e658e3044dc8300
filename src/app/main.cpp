#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/shell.h"
#include "ui/console/ncurses_console.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kHelpText, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs(kVersionText, stdout);
            return 0;
        }
        arguments.emplace_back(argv[i]);
    }
    con::NcursesConsole console;
    return RunShell(console, arguments);
}
