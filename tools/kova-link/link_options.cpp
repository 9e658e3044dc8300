// Option table and command parsing of kova-link.
#include "link_options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/option_table.h"
#include "setup/device_root.h"

namespace {

using tools::ToInt;
using Option = tools::OptionRow<LinkOptions>;

std::vector<Option> OptionRows() {
    std::vector<Option> rows =
        tools::LiftOptions(tools::OptionTable<LinkSource>(LinkSourceRows()), &LinkOptions::source);
    // Bare port names are then looked for in DIR/dev only: tests offer ptys
    // there and never reach the machine's own ports.
    rows.push_back({"--device-root", "DIR",
                    "testing: serial ports listed from DIR/sys/class/tty, opened in DIR/dev",
                    [](LinkOptions&, const char* a) { return SetDeviceRoot(a), true; }});
    return rows;
}

void PrintHelp(FILE* out, const std::vector<Option>& rows) {
    fprintf(
        out,
        "usage: kova-link --type symax|netnet|rtu|ascii|gateway --port DEVICE [options] COMMAND\n"
        "       kova-link --type tcp --host HOST [--tcp-port N] [options] COMMAND\n"
        "       kova-link --setup FILE.STP COMMAND\n"
        "Reads and writes controller registers (1-based) over a serial or Modbus TCP link.\n\n"
        "commands:\n"
        "  read REGISTER COUNT          print the values, unsigned decimal\n"
        "  dump REGISTER COUNT          print any number of registers, read 125 a request\n"
        "  replay FILE                  time the requests of FILE, one \"r|w FIRST COUNT\" a\n"
        "                               line (kova-sim --log), writes sending zeros\n"
        "  write REGISTER VALUE...      values 0-65535 or 0x-prefixed hexadecimal\n"
        "  input-read REGISTER COUNT    input registers\n"
        "  input-write REGISTER VALUE...\n"
        "  bench N REGISTER COUNT       time N reads, print requests per second\n"
        "  sections REGISTER N,N,...    time reads of consecutive sections from "
        "REGISTER\n\noptions:\n");
    tools::PrintOptionHelp(out, tools::OptionTable<LinkOptions>(rows), 32);
    fprintf(out, "\nA failure prints the link's error text on standard error, exit status 1.\n");
}

bool ParseCommand(int argc, char** argv, int i, LinkOptions* o) {
    if (i >= argc) return false;
    std::string name = argv[i++];
    auto arg = [&](long low, long high, auto* out) {
        return i < argc && ToInt(argv[i++], low, high, out);
    };
    if (name == "read" || name == "input-read") {
        o->command = name == "read" ? Command::Read : Command::InputRead;
        return arg(0, 65536, &o->reg) && arg(0, 1000, &o->count) && i == argc;
    }
    if (name == "replay") {
        o->command = Command::Replay;
        if (i + 1 != argc) return false;
        o->replayFile = argv[i];
        return true;
    }
    if (name == "dump") {
        o->command = Command::Dump;
        return arg(1, 16384, &o->reg) && arg(1, 16384, &o->count) && i == argc;
    }
    if (name == "write" || name == "input-write") {
        o->command = name == "write" ? Command::Write : Command::InputWrite;
        if (!arg(0, 65536, &o->reg)) return false;
        for (; i < argc; ++i) {
            uint16_t value;
            if (!ToInt(argv[i], 0, 65535, &value)) return false;
            o->values.push_back(value);
        }
        o->count = int(o->values.size());
        return o->count > 0;
    }
    if (name == "bench") {
        o->command = Command::Bench;
        return arg(1, 100000000, &o->repeats) && arg(0, 65536, &o->reg) &&
               arg(0, 1000, &o->count) && i == argc;
    }
    if (name == "sections") {
        o->command = Command::Sections;
        if (!arg(1, 65536, &o->reg) || i + 1 != argc) return false;
        std::string list = argv[i];
        size_t start = 0;
        while (start <= list.size()) {
            size_t comma = list.find(',', start);
            int count;
            if (!ToInt(list.substr(start, comma - start).c_str(), 1, 128, &count)) return false;
            o->sections.push_back(count);
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        return true;
    }
    return false;
}

}  // namespace

bool ParseLinkOptions(int argc, char** argv, LinkOptions* options, int* exitCode) {
    *exitCode = 2;
    int i = 0;
    const std::vector<Option> rows = OptionRows();
    switch (tools::ApplyOptions("kova-link", argc, argv, tools::OptionTable<LinkOptions>(rows),
                                *options, &i)) {
        case tools::OptionsResult::Help:
            PrintHelp(stdout, rows);
            *exitCode = 0;
            return false;
        case tools::OptionsResult::Bad:
            return false;
        case tools::OptionsResult::Parsed:
            break;
    }
    std::string error;
    if (!LinkSourceNamed(options->source, &error)) {
        fprintf(stderr, "kova-link: %s (see --help)\n", error.c_str());
        return false;
    }
    if (!ParseCommand(argc, argv, i, options)) {
        fprintf(stderr, "kova-link: missing or bad command (see --help)\n");
        return false;
    }
    return true;
}
