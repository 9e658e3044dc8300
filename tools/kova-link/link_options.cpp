// Option table and command parsing of kova-link.
#include "link_options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "../common/option_table.h"

namespace {

using tools::Choice;
using tools::ToInt;
using Option = tools::OptionRow<LinkOptions>;

bool ParseRoute(const char* text, LinkRoute* route) {
    route->count = 0;
    std::string list = text;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        std::string item =
            list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (route->count == 8 || !ToInt(item.c_str(), 0, 255, &route->entries[route->count]))
            return false;
        ++route->count;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return route->count > 0;
}

const Option kOptions[] = {
    {"--setup", "FILE.STP", "open the link a setup file names, with its line settings",
     [](LinkOptions& o, const char* a) { return o.setupFile = a, true; }},
    {"--type", "symax|netnet|rtu|ascii|gateway|tcp", "link kind",
     [](LinkOptions& o, const char* a) {
         int i;
         return Choice(a, {"symax", "netnet", "rtu", "ascii", "gateway", "tcp"}, &i) &&
                (o.type = LinkChoice(i), o.typeGiven = true);
     }},
    {"--host", "HOST", "Modbus TCP: dotted address or host name",
     [](LinkOptions& o, const char* a) { return o.host = a, true; }},
    {"--tcp-port", "N", "Modbus TCP: port (default 502)",
     [](LinkOptions& o, const char* a) { return ToInt(a, 1, 65535, &o.tcpPort); }},
    {"--port", "DEVICE", "serial device (ttyUSB0, /dev/ttyS0, a pty path)",
     [](LinkOptions& o, const char* a) { return o.port = a, true; }},
    {"--baud", "N", "line rate (default 9600)",
     [](LinkOptions& o, const char* a) { return ToInt(a, 50, 4000000, &o.baud); }},
    {"--parity", "none|even|odd", "parity (default even)",
     [](LinkOptions& o, const char* a) {
         return Choice(a, {"none", "even", "odd"}, &o.parity);
     }},
    {"--data-bits", "7|8", "data bits (default 8)",
     [](LinkOptions& o, const char* a) { return ToInt(a, 7, 8, &o.dataBits); }},
    {"--stop-bits", "1|2", "stop bits (default 1)",
     [](LinkOptions& o, const char* a) { return ToInt(a, 1, 2, &o.stopBits); }},
    {"--drop", "N", "Modbus slave address or unit, or a one-drop Sy/Max route (default 1)",
     [](LinkOptions& o, const char* a) { return ToInt(a, 0, 255, &o.drop); }},
    {"--route", "N,N,...", "Sy/Max or Gateway route, up to 8 drops",
     [](LinkOptions& o, const char* a) { return ParseRoute(a, &o.route); }},
    {"--crc", nullptr, "Sy/Max frames carry a CRC instead of a BCC",
     [](LinkOptions& o, const char*) { return o.crc = true; }},
    {"--priority", nullptr, "use the Sy/Max priority opcodes",
     [](LinkOptions& o, const char*) { return o.priority = true; }},
    {"--timeout", "TICKS", "reply timeout in ticks of 10 ms (default 500)",
     [](LinkOptions& o, const char* a) { return ToInt(a, 1, 65535, &o.timeout); }},
};

void PrintHelp(FILE* out) {
    fprintf(
        out,
        "usage: kova-link --type symax|netnet|rtu|ascii|gateway --port DEVICE [options] COMMAND\n"
        "       kova-link --type tcp --host HOST [--tcp-port N] [options] COMMAND\n"
        "       kova-link --setup FILE.STP [options] COMMAND\n"
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
    tools::PrintOptionHelp(out, kOptions, 32);
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
    switch (tools::ApplyOptions("kova-link", argc, argv, kOptions, *options, &i)) {
        case tools::OptionsResult::Help:
            PrintHelp(stdout);
            *exitCode = 0;
            return false;
        case tools::OptionsResult::Bad:
            return false;
        case tools::OptionsResult::Parsed:
            break;
    }
    bool tcp = options->type == LinkChoice::Tcp;
    if (options->setupFile.empty() &&
        (!options->typeGiven || (tcp ? options->host.empty() : options->port.empty()))) {
        fprintf(stderr,
                "kova-link: --setup, or --type and --port (--host for tcp), are required (see "
                "--help)\n");
        return false;
    }
    if (!ParseCommand(argc, argv, i, options)) {
        fprintf(stderr, "kova-link: missing or bad command (see --help)\n");
        return false;
    }
    return true;
}
