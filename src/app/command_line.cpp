#include "app/command_line.h"

#include <cctype>

namespace {
constexpr size_t kMaxArgument = 131;
}

std::string ArgumentKeystrokes(const std::string& argument) {
    std::string in = argument.substr(0, kMaxArgument);
    std::string out;
    for (size_t i = 0; i < in.size(); ++i) {
        char c = in[i];
        if (c == '/' && i + 1 < in.size()) {
            char next = char(std::toupper(static_cast<unsigned char>(in[i + 1])));
            char replaced = next == 'D'   ? char(127)
                            : next == 'E' ? char(27)
                            : next == 'R' ? char(13)
                                          : 0;
            if (replaced) {
                out += replaced;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

const char kVersionText[] = "kovasw 1.0 (KOVA ASCII module configuration and emulation software)\n";

const char kHelpText[] =
    "Usage: kovasw [KEYS...]\n"
    "       kovasw --help | --version\n"
    "       kovasw --device-root DIR [KEYS...]\n"
    "\n"
    "Configures, tests and emulates the KOVA ASCII input module.\n"
    "\n"
    "Each argument is typed into the menus as keystrokes, in order, as if typed\n"
    "at the keyboard. Inside an argument /D stands for DEL, /E for Esc and /R for\n"
    "Enter (either case); a / before any other character is typed as it stands.\n"
    "Example: kovasw FR opens oFfline and chooses Read from disk to memory.\n"
    "\n"
    "Keys: arrows or the capital letter of an entry choose from the menus; Esc\n"
    "leaves a function; F1 prints the screen; F10 clears the error window.\n"
    "Terminals that keep the function keys for themselves (GNOME and MATE take\n"
    "F10): Alt+1 ... Alt+9 give F1 ... F9 and Alt+0 gives F10. Ctrl-J gives\n"
    "Ctrl-Enter (line feed). Ctrl-A and Ctrl-G are Home and End on every terminal.\n"
    "For keys a terminal lacks (a VT100, a VT220): Ctrl-T then 1 ... 9, 0 gives\n"
    "F1 ... F10, I Insert, U PgUp, N PgDn, H Home, E End; Ctrl-T twice Ctrl-T.\n"
    "In the terminal emulator: F5 hex-only output, F6 timestamps on received\n"
    "lines, F7 capture what shows, Shift-F7 capture the raw bytes, F8 end the\n"
    "capture, F9 port settings, Insert send hex codes, Ctrl-End leave.\n"
    "On every terminal (the Linux console sends Ctrl-End as End, a serial\n"
    "console may lack function keys) Ctrl-T and a letter do the same: Q or X\n"
    "leave, R raw capture, T timestamps, C capture, E end the capture, H hex-only,\n"
    "S port settings, I hex codes, ? list these, 1 ... 0 the keys F1 ... F10;\n"
    "Ctrl-T twice sends Ctrl-T.\n"
    "Every other key is sent as typed; Ctrl-Space sends a NUL.\n"
    "\n"
    "The terminal must be at least 80 columns by 24 rows; on 24 the status line\n"
    "shows over row 24 or moves the picture up. A smaller one is left with q, Esc\n"
    "or Ctrl-C. A serial console that claims fewer rows than its screen has:\n"
    "start it as LINES=25 kovasw.\n"
    "\n"
    "It reads and writes its settings in KOVASW.STP in the current directory.\n"
    "\n"
    "Testing option: --device-root DIR lists serial ports from DIR/sys/class/tty\n"
    "and opens them under DIR/dev instead of /sys and /dev.\n";
